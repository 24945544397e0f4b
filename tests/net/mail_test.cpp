// The mail message: reading multipart messages with their attachments
// (names by either parameter, quoted or not, unsafe names, files that are
// there already) and composing single and multipart messages that read back.
#include <gtest/gtest.h>
#include <windows.h>

#include "engine/support/base64.h"
#include "engine/support/safefilestream.h"
#include "net/mailmessage.h"
#include "net/textutil.h"
#include "rtl/fileio.h"

namespace {

// A fresh folder in the temporary folder, removed with what it holds.
struct ScratchFolder {
    ScratchFolder() {
        Path = MakeTempFileName("mail");
        DeleteFileA(Path.c_str());
        CreateDirectoryA(Path.c_str(), nullptr);
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((Path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do DeleteFileA((Path + "\\" + found.cFileName).c_str());
            while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(Path.c_str());
    }
    AnsiString Path;
};

AnsiString part(const char* headers, const AnsiString& body) {
    return AnsiString("--b1\r\n") + headers + "\r\n\r\n" + body + "\r\n";
}

}  // namespace

TEST(MailMessage, ReadsHeadersAndAPlainBody) {
    TMailMessage m;
    m.Parse("Subject: hello\r\nX-Long: one\r\n two\r\nFrom:me@example.com\r\n\r\nline 1\r\nline 2");
    EXPECT_EQ(m.GetHeader("subject"), "hello");
    EXPECT_EQ(m.GetHeader("From"), "me@example.com");
    EXPECT_EQ(m.GetHeader("X-Long"), "one two");
    EXPECT_EQ(m.Text, "line 1\r\nline 2\r\n");
}

TEST(MailMessage, WritesAttachmentsInsideAttachPathOnly) {
    ScratchFolder folder;
    TMailMessage m;
    m.AttachPath = folder.Path;
    AnsiString data = Base64Encode(AnsiString("\x00\x01\r\n\xff", 5));
    m.Parse("Content-Type: multipart/mixed;\r\n\tboundary=b1\r\n\r\npreamble\r\n" +
            part("Content-Type: text/plain", "text part") +
            part("Content-Type: application/octet-stream; name=\"a b.bin\"\r\nContent-Transfer-Encoding: base64",
                 data) +
            part("Content-Disposition: attachment; filename=c.bin; size=5\r\nContent-Transfer-Encoding: BASE64",
                 data) +
            part("Content-Type: application/x; name=\"..\\..\\evil.bin\"\r\nContent-Transfer-Encoding: base64",
                 data) +
            part("Content-Type: application/x; name=\"..\"\r\nContent-Transfer-Encoding: base64", data) +
            part("Content-Type: application/x; name=\"a b.bin\"\r\nContent-Transfer-Encoding: base64", data) +
            part("Content-Type: application/x; name=\"q.bin\"\r\nContent-Transfer-Encoding: 7bit", "plain") +
            "--b1--\r\nepilogue\r\n");
    EXPECT_EQ(m.Boundary, "b1");
    EXPECT_EQ(m.Text, "\r\ntext part\r\n");
    const char* names[] = {"a b.bin", "c.bin", "evil.bin", "a b_000.bin"};
    ASSERT_EQ(m.Attachments.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(m.Attachments.Get(i), folder.Path + "\\" + names[i]);
        EXPECT_EQ(readFileBytes(m.Attachments.Get(i)), std::string("\x00\x01\r\n\xff", 5));
    }
}

TEST(MailMessage, ComposedMessagesReadBack) {
    ScratchFolder folder;
    AnsiString attachment = folder.Path + "\\data.bin";
    std::string bytes(300, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i);
    {
        TSafeFileStream file;
        file.Open(attachment, fmOpenWrite, true);
        file.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    }

    TMailMessage plain;
    plain.Headers.SetValue("Subject", "s");
    plain.Text = "one\ntwo";
    AnsiString text = plain.Compose();
    EXPECT_NE(text.find("Subject: s\r\nContent-Type: text/plain; charset=\"iso-2022-jp\"\r\n"), std::string_view::npos);
    EXPECT_TRUE(text.endsWith("\r\n\r\none\r\ntwo\r\n"));

    TMailMessage multi;
    multi.Text = "body";
    multi.Attachments.Add(attachment);
    text = multi.Compose();
    for (const AnsiString& line : {AnsiString("Content-Transfer-Encoding: Base64"), AnsiString("--" + multi.Boundary)})
        EXPECT_NE(text.find(line + "\r\n"), std::string_view::npos);
    AnsiString encoded = Base64Encode(AnsiString(bytes));
    EXPECT_NE(text.find(encoded.substr(0, 76) + "\r\n" + encoded.substr(76, 76) + "\r\n"), std::string_view::npos);

    DeleteFileA(attachment.c_str());
    TMailMessage back;
    back.AttachPath = folder.Path;
    back.Parse(text);
    EXPECT_EQ(back.Text, "\r\nbody\r\n");
    ASSERT_EQ(back.Attachments.Count(), 1);
    EXPECT_EQ(readFileBytes(attachment), bytes);
}
