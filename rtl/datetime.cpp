// Date-time values: the proleptic Gregorian calendar over day numbers, the
// locale's date and time pictures (GetLocaleInfoA), the format language of
// formatDateTime and the readers of date and time texts.
#include "rtl/datetime.h"

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "rtl/codepage.h"

namespace {

constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kEpochShift = 25569;  // days from 1899-12-30 to 1970-01-01

// ==== Calendar ====

// Days since 1970-01-01 of a civil date (any year).
int64_t daysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(era * 400 + yoe + (month <= 2));
}

// A date-time as whole days and milliseconds into the day, rounded to the
// millisecond; the day is negative before 1899-12-30.
struct Split {
    int64_t day = 0;
    int64_t ms = 0;
};

Split splitDateTime(TDateTime t) {
    Split split;
    if (!std::isfinite(t) || std::fabs(t) > 1e9) return split;
    int64_t total = std::llround(std::fabs(t) * static_cast<double>(kMsPerDay));
    split.day = total / kMsPerDay;
    split.ms = total % kMsPerDay;
    if (t < 0) split.day = -split.day;
    return split;
}

}  // namespace

bool isLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool tryEncodeDate(int year, int month, int day, TDateTime& out) {
    if (year < 1 || year > 9999 || day < 1 || day > daysInMonth(year, month)) return false;
    out = static_cast<TDateTime>(daysFromCivil(year, month, day) + kEpochShift);
    return true;
}

bool tryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& out) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999) {
        return false;
    }
    int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
    out = static_cast<TDateTime>(ms) / static_cast<TDateTime>(kMsPerDay);
    return true;
}

bool tryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond,
                       TDateTime& out) {
    TDateTime date, time;
    if (!tryEncodeDate(year, month, day, date) || !tryEncodeTime(hour, minute, second, millisecond, time)) return false;
    out = combineDateTime(date, time);
    return true;
}

TDateTime combineDateTime(TDateTime date, TDateTime time) {
    return date < 0 ? date - time : date + time;
}

void decodeDateTime(TDateTime t, int& year, int& month, int& day, int& hour, int& minute, int& second,
                    int& millisecond) {
    Split split = splitDateTime(t);
    civilFromDays(split.day - kEpochShift, year, month, day);
    millisecond = static_cast<int>(split.ms % 1000);
    second = static_cast<int>(split.ms / 1000 % 60);
    minute = static_cast<int>(split.ms / 60000 % 60);
    hour = static_cast<int>(split.ms / 3600000);
}

void decodeDate(TDateTime t, int& year, int& month, int& day) {
    int hour, minute, second, millisecond;
    decodeDateTime(t, year, month, day, hour, minute, second, millisecond);
}

void decodeTime(TDateTime t, int& hour, int& minute, int& second, int& millisecond) {
    int year, month, day;
    decodeDateTime(t, year, month, day, hour, minute, second, millisecond);
}

int dayOfWeek(TDateTime t) {
    // Day 0, 1899-12-30, was a Saturday.
    int64_t day = splitDateTime(t).day;
    return static_cast<int>(((day % 7) + 7 + 6) % 7) + 1;
}

TDateTime nowDateTime() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return systemTimeToDateTime(st);
}

TDateTime nowUtcDateTime() {
    SYSTEMTIME st;
    GetSystemTime(&st);
    return systemTimeToDateTime(st);
}

SYSTEMTIME dateTimeToSystemTime(TDateTime t) {
    int year, month, day, hour, minute, second, ms;
    decodeDateTime(t, year, month, day, hour, minute, second, ms);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wDayOfWeek = static_cast<WORD>(dayOfWeek(t) - 1);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    st.wMilliseconds = static_cast<WORD>(ms);
    return st;
}

TDateTime systemTimeToDateTime(const SYSTEMTIME& st) {
    TDateTime result = 0;
    tryEncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, result);
    return result;
}

// ==== Locale settings ====

namespace {

bool isAsciiLetter(char c, char lower) {
    return c == lower || c == lower - 32;
}

size_t runLength(std::string_view text, size_t i, char c) {
    size_t n = 0;
    while (i + n < text.size() && text[i + n] == c) ++n;
    return n;
}

void appendQuoted(std::string& out, std::string_view literal) {
    if (literal.empty()) return;
    char quote = literal.find('"') == std::string_view::npos ? '"' : '\'';
    out += quote;
    out += literal;
    out += quote;
}

AnsiString localeText(LCTYPE type) {
    char buffer[128];
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    return n > 1 ? AnsiString(buffer, static_cast<size_t>(n - 1)) : AnsiString();
}

// The time format without its seconds: "h:nn:ss" -> "h:nn".
AnsiString withoutSeconds(const AnsiString& format) {
    std::string text = format.str();
    size_t s = text.find_first_of("sS");
    if (s == std::string::npos) return format;
    size_t end = s + runLength(text, s, text[s]);
    size_t start = s > 0 && text[s - 1] == ':' ? s - 1 : s;
    text.erase(start, end - start);
    return AnsiString(text);
}

}  // namespace

AnsiString convertPlatformPicture(std::string_view picture, char separator, char separatorToken) {
    std::string out, literal;
    auto flush = [&] {
        appendQuoted(out, literal);
        literal.clear();
    };
    for (size_t i = 0; i < picture.size();) {
        char c = picture[i];
        size_t n = runLength(picture, i, c);
        if (isLeadByte(static_cast<unsigned char>(c)) && i + 1 < picture.size()) {
            literal.append(picture.substr(i, 2));
            i += 2;
            continue;
        }
        if (c == '\'') {  // quoted text; '' stands for one quote
            size_t j = i + 1;
            while (j < picture.size()) {
                if (picture[j] == '\'' && j + 1 < picture.size() && picture[j + 1] == '\'') {
                    literal += '\'';
                    j += 2;
                } else if (picture[j] == '\'') {
                    break;
                } else {
                    literal += picture[j++];
                }
            }
            i = j + 1;
            continue;
        }
        std::string token;
        switch (c) {
        case 'd': token = std::string(n > 4 ? 4 : n, 'd'); break;
        case 'M': token = std::string(n > 4 ? 4 : n, 'm'); break;
        case 'y': token = n <= 2 ? "yy" : "yyyy"; break;
        case 'h': case 'H': token = n == 1 ? "h" : "hh"; break;
        case 'm': token = n == 1 ? "n" : "nn"; break;
        case 's': token = n == 1 ? "s" : "ss"; break;
        case 't': token = "ampm"; break;
        case 'g': break;  // era names are left out
        default:
            if (c == separator) {
                flush();
                out.append(n, separatorToken);
            } else if (c == ' ') {
                flush();
                out.append(n, ' ');
            } else {
                literal.append(n, c);
            }
            i += n;
            continue;
        }
        flush();
        out += token;
        i += n;
    }
    flush();
    return AnsiString(out);
}

const DateTimeSettings& localeDateTimeSettings() {
    static const DateTimeSettings settings = [] {
        DateTimeSettings s;
        AnsiString dateSeparator = localeText(LOCALE_SDATE);
        AnsiString timeSeparator = localeText(LOCALE_STIME);
        if (dateSeparator.length() == 1) s.dateSeparator = dateSeparator[0];
        if (timeSeparator.length() == 1) s.timeSeparator = timeSeparator[0];
        AnsiString shortDate = localeText(LOCALE_SSHORTDATE);
        AnsiString longDate = localeText(LOCALE_SLONGDATE);
        AnsiString time = localeText(LOCALE_STIMEFORMAT);
        if (!shortDate.empty()) s.shortDateFormat = convertPlatformPicture(shortDate, s.dateSeparator, '/');
        if (!longDate.empty()) s.longDateFormat = convertPlatformPicture(longDate, s.dateSeparator, '/');
        if (!time.empty()) {
            s.longTimeFormat = convertPlatformPicture(time, s.timeSeparator, ':');
            s.shortTimeFormat = withoutSeconds(s.longTimeFormat);
        }
        AnsiString am = localeText(LOCALE_S1159);
        AnsiString pm = localeText(LOCALE_S2359);
        if (!am.empty()) s.timeAMString = am;
        if (!pm.empty()) s.timePMString = pm;
        return s;
    }();
    return settings;
}

// ==== Formatting ====

namespace {

constexpr int kMaxFormatNesting = 3;  // "c", "ddddd", "t" ... expand other formats

struct Fields {
    int year, month, day, hour, minute, second, millisecond, weekDay;  // weekDay 0 = Sunday
    bool midnight;
};

class DateTimeFormatter {
public:
    DateTimeFormatter(const Fields& fields, const DateTimeSettings& settings) : f_(fields), settings_(settings) {}

    void format(std::string_view fmt, int depth) {
        if (depth > kMaxFormatNesting) return;
        bool afterHour = false;  // "m" right after an hour token means minutes
        size_t amPmAt = lastAmPm(fmt);
        for (size_t i = 0; i < fmt.size();) {
            char c = fmt[i];
            char lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            // No token reads more than six letters of a run but the year,
            // which takes the whole run.
            size_t n = runLengthNoCase(fmt, i, lower, lower == 'y' ? fmt.size() : 6);
            bool hourToken = false;
            if (isLeadByte(static_cast<unsigned char>(c)) && i + 1 < fmt.size()) {
                out_.append(fmt.substr(i, 2));
                i += 2;
                continue;
            }
            switch (lower) {
            case '"': case '\'': {
                size_t close = fmt.find(c, i + 1);
                if (close == std::string_view::npos) close = fmt.size();
                out_.append(fmt.substr(i + 1, close - i - 1));
                i = close + 1;
                continue;  // text keeps the "after hour" state
            }
            case 'c':
                format(settings_.shortDateFormat.view(), depth + 1);
                if (!f_.midnight) {
                    out_ += ' ';
                    format(settings_.longTimeFormat.view(), depth + 1);
                }
                n = 1;
                break;
            case 'd':
                n = std::min<size_t>(n, 6);
                if (n <= 2) number(f_.day, n);
                else if (n == 3) out_ += settings_.shortDayNames[static_cast<size_t>(f_.weekDay)].view();
                else if (n == 4) out_ += settings_.longDayNames[static_cast<size_t>(f_.weekDay)].view();
                else format(n == 5 ? settings_.shortDateFormat.view() : settings_.longDateFormat.view(), depth + 1);
                break;
            case 'm':
                if (afterHour && n <= 2) {
                    number(f_.minute, n);
                    break;
                }
                n = std::min<size_t>(n, 4);
                if (n <= 2) number(f_.month, n);
                else if (n == 3) out_ += settings_.shortMonthNames[static_cast<size_t>(f_.month - 1)].view();
                else out_ += settings_.longMonthNames[static_cast<size_t>(f_.month - 1)].view();
                break;
            case 'y':
                if (n <= 2) number(((f_.year % 100) + 100) % 100, 2);
                else number(f_.year, 4);
                break;
            case 'h': {
                n = std::min<size_t>(n, 2);
                int hour = f_.hour;
                if (amPmAt != std::string_view::npos && amPmAt >= i + n) hour = hour % 12 == 0 ? 12 : hour % 12;
                number(hour, n);
                hourToken = true;
                break;
            }
            case 'n': n = std::min<size_t>(n, 2); number(f_.minute, n); break;
            case 's': n = std::min<size_t>(n, 2); number(f_.second, n); break;
            case 'z':
                n = n >= 3 ? 3 : 1;
                number(f_.millisecond, n);
                break;
            case 't':
                n = std::min<size_t>(n, 2);
                format(n == 1 ? settings_.shortTimeFormat.view() : settings_.longTimeFormat.view(), depth + 1);
                break;
            case 'a':
                n = amPm(fmt.substr(i));
                if (n == 0) {
                    out_ += c;
                    i += 1;
                    continue;
                }
                break;
            // Separators and other text keep the "after hour" state.
            case '/': out_ += settings_.dateSeparator; i += 1; continue;
            case ':': out_ += settings_.timeSeparator; i += 1; continue;
            default: out_ += c; i += 1; continue;
            }
            afterHour = hourToken;
            i += n;
        }
    }

    std::string take() { return std::move(out_); }

private:
    static size_t runLengthNoCase(std::string_view fmt, size_t i, char lower, size_t most) {
        size_t n = 0;
        while (n < most && i + n < fmt.size() && (fmt[i + n] | 0x20) == lower && (lower >= 'a' && lower <= 'z')) ++n;
        return n == 0 ? 1 : n;
    }

    static bool startsNoCase(std::string_view text, std::string_view head) {
        if (text.size() < head.size()) return false;
        for (size_t k = 0; k < head.size(); ++k) {
            if ((text[k] | 0x20) != head[k]) return false;
        }
        return true;
    }

    // Where the last am/pm token (outside quotes) begins, npos when none: an
    // hour token before it counts 12 hours. Found once per format, so that a
    // long format of hours stays linear.
    static size_t lastAmPm(std::string_view fmt) {
        size_t last = std::string_view::npos;
        for (size_t i = 0; i < fmt.size(); ++i) {
            char c = fmt[i];
            if (c == '"' || c == '\'') {
                size_t close = fmt.find(c, i + 1);
                if (close == std::string_view::npos) break;  // the rest is quoted text
                i = close;
            } else if (isLeadByte(static_cast<unsigned char>(c))) {
                ++i;
            } else if (startsNoCase(fmt.substr(i), "am/pm") || startsNoCase(fmt.substr(i), "a/p") ||
                       startsNoCase(fmt.substr(i), "ampm")) {
                last = i;
            }
        }
        return last;
    }

    // Writes the am/pm token at the start of text and gives its length (0: none).
    size_t amPm(std::string_view text) {
        bool pm = f_.hour >= 12;
        if (startsNoCase(text, "am/pm")) {
            out_.append(text.substr(pm ? 3 : 0, 2));
            return 5;
        }
        if (startsNoCase(text, "a/p")) {
            out_ += text[pm ? 2 : 0];
            return 3;
        }
        if (startsNoCase(text, "ampm")) {
            out_ += (pm ? settings_.timePMString : settings_.timeAMString).view();
            return 4;
        }
        return 0;
    }

    void number(int value, size_t minDigits) {
        std::string digits = std::to_string(value < 0 ? -value : value);
        if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');
        if (value < 0) out_ += '-';
        out_ += digits;
    }

    const Fields& f_;
    const DateTimeSettings& settings_;
    std::string out_;
};

}  // namespace

AnsiString formatDateTime(std::string_view fmt, TDateTime t, const DateTimeSettings& settings) {
    Fields fields;
    decodeDateTime(t, fields.year, fields.month, fields.day, fields.hour, fields.minute, fields.second,
                   fields.millisecond);
    fields.weekDay = dayOfWeek(t) - 1;
    fields.midnight = fields.hour == 0 && fields.minute == 0 && fields.second == 0 && fields.millisecond == 0;
    DateTimeFormatter formatter(fields, settings);
    formatter.format(fmt.empty() ? std::string_view("c") : fmt, 0);
    return AnsiString(formatter.take());
}

// ==== Reading ====

namespace {

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

// The order of the first day, month or year token of a format.
DateOrder dateOrderOf(std::string_view format) {
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c == '"' || c == '\'') {
            size_t close = format.find(c, i + 1);
            if (close == std::string_view::npos) break;
            i = close;
        } else if (isLeadByte(static_cast<unsigned char>(c))) {
            ++i;
        } else if (isAsciiLetter(c, 'y')) {
            return DateOrder::YearMonthDay;
        } else if (isAsciiLetter(c, 'm')) {
            return DateOrder::MonthDayYear;
        } else if (isAsciiLetter(c, 'd')) {
            return DateOrder::DayMonthYear;
        }
    }
    return DateOrder::MonthDayYear;
}

int currentYear() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return st.wYear;
}

// Places a year written with one or two digits into the settings' window.
int expandTwoDigitYear(int year, int window) {
    int current = currentYear();
    if (window <= 0) return current / 100 * 100 + year;
    int base = current - window;
    year += base / 100 * 100;
    return year < base ? year + 100 : year;
}

class TextScanner {
public:
    explicit TextScanner(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    void skipBlanks() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\r' || peek() == '\n')) ++pos_;
    }

    // One to maxDigits decimal digits.
    bool number(int& value, int& digits, int maxDigits) {
        value = 0;
        digits = 0;
        while (!atEnd() && digits < maxDigits && peek() >= '0' && peek() <= '9') {
            value = value * 10 + (text_[pos_++] - '0');
            ++digits;
        }
        return digits > 0 && !(peek() >= '0' && peek() <= '9');
    }

    bool take(char a, char b) {
        if (atEnd() || (peek() != a && peek() != b)) return false;
        ++pos_;
        return true;
    }

    // An AM/PM text: the settings' own, "AM"/"PM", or "A"/"P" not followed by a letter.
    bool amPm(const DateTimeSettings& settings, bool& pm) {
        std::string_view rest = text_.substr(pos_);
        for (int which = 0; which < 2; ++which) {
            const AnsiString& own = which ? settings.timePMString : settings.timeAMString;
            if (!own.empty() && rest.starts_with(own.view())) return accept(own.length(), pm, which == 1);
        }
        if (rest.empty()) return false;
        char first = static_cast<char>(rest[0] | 0x20);
        if (first != 'a' && first != 'p') return false;
        if (rest.size() >= 2 && (rest[1] | 0x20) == 'm') {
            if (rest.size() == 2 || !isLetter(rest[2])) return accept(2, pm, first == 'p');
            return false;
        }
        if (rest.size() == 1 || !isLetter(rest[1])) return accept(1, pm, first == 'p');
        return false;
    }

private:
    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

    bool accept(size_t length, bool& pm, bool isPm) {
        pos_ += length;
        pm = isPm;
        return true;
    }

    std::string_view text_;
    size_t pos_ = 0;
};

bool scanDate(TextScanner& scanner, const DateTimeSettings& settings, TDateTime& out) {
    int values[3], digits[3], count = 0;
    scanner.skipBlanks();
    if (!scanner.number(values[0], digits[0], 4)) return false;
    for (count = 1; count < 3 && scanner.take(settings.dateSeparator, '/'); ++count) {
        scanner.skipBlanks();
        if (!scanner.number(values[count], digits[count], 4)) return false;
    }
    if (count < 2) return false;
    DateOrder order = dateOrderOf(settings.shortDateFormat.view());
    int year, month, day, yearDigits;
    if (count == 2) {
        year = currentYear();
        yearDigits = 4;
        bool dayFirst = order == DateOrder::DayMonthYear;
        month = values[dayFirst ? 1 : 0];
        day = values[dayFirst ? 0 : 1];
    } else if (order == DateOrder::YearMonthDay) {
        year = values[0], yearDigits = digits[0], month = values[1], day = values[2];
    } else if (order == DateOrder::DayMonthYear) {
        day = values[0], month = values[1], year = values[2], yearDigits = digits[2];
    } else {
        month = values[0], day = values[1], year = values[2], yearDigits = digits[2];
    }
    if (yearDigits <= 2) year = expandTwoDigitYear(year, settings.twoDigitYearCenturyWindow);
    return tryEncodeDate(year, month, day, out);
}

bool scanTime(TextScanner& scanner, const DateTimeSettings& settings, TDateTime& out) {
    scanner.skipBlanks();
    bool pm = false;
    bool hasAmPm = scanner.amPm(settings, pm);
    if (hasAmPm) scanner.skipBlanks();
    int hour, minute = 0, second = 0, millisecond = 0, digits;
    if (!scanner.number(hour, digits, 2)) return false;
    bool hasMinutes = scanner.take(settings.timeSeparator, ':');
    if (hasMinutes) {
        if (!scanner.number(minute, digits, 2)) return false;
        if (scanner.take(settings.timeSeparator, ':')) {
            if (!scanner.number(second, digits, 2)) return false;
            if (scanner.take('.', '.')) {
                if (!scanner.number(millisecond, digits, 3)) return false;
                while (digits++ < 3) millisecond *= 10;  // a fraction of the second
            }
        }
    }
    if (!hasAmPm) {
        scanner.skipBlanks();
        hasAmPm = scanner.amPm(settings, pm);
    }
    if (!hasMinutes && !hasAmPm) return false;
    if (hasAmPm) {
        if (hour > 12) return false;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    return tryEncodeTime(hour, minute, second, millisecond, out);
}

bool scannedAll(TextScanner& scanner) {
    scanner.skipBlanks();
    return scanner.atEnd();
}

}  // namespace

bool tryTextToDate(std::string_view text, TDateTime& out, const DateTimeSettings& settings) {
    TextScanner scanner(text);
    TDateTime date;
    if (!scanDate(scanner, settings, date) || !scannedAll(scanner)) return false;
    out = date;
    return true;
}

bool tryTextToTime(std::string_view text, TDateTime& out, const DateTimeSettings& settings) {
    TextScanner scanner(text);
    TDateTime time;
    if (!scanTime(scanner, settings, time) || !scannedAll(scanner)) return false;
    out = time;
    return true;
}

bool tryTextToDateTime(std::string_view text, TDateTime& out, const DateTimeSettings& settings) {
    TextScanner scanner(text);
    TDateTime date, time;
    if (scanDate(scanner, settings, date)) {
        if (scannedAll(scanner)) {
            out = date;
            return true;
        }
        if (!scanTime(scanner, settings, time) || !scannedAll(scanner)) return false;
        out = combineDateTime(date, time);
        return true;
    }
    return tryTextToTime(text, out, settings);
}
