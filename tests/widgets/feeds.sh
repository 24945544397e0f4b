#!/bin/bash
# The feed reader against a local server (tests/docs/serve.py on 127.0.0.1:18393,
# started here and stopped by its id): an RSS feed's title and its items'
# titles are drawn, entities and CDATA read, and no row beyond them; a click
# on a title opens its link, a click on an empty row nothing.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
site="$GUI_WORK/site"
mkdir -p "$site"
cat >"$site/feed.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0"><channel><title>Local news</title>
<item><title>First &amp; foremost</title><link>http://127.0.0.1:18393/1</link></item>
<item><title><![CDATA[Second <story>]]></title><link>http://127.0.0.1:18393/2</link></item>
</channel></rss>
XML
/usr/bin/python3 "$NIMBORA_TEST_DATA/../docs/serve.py" 18393 "$site" &
server=$!
trap 'kill $server 2>/dev/null; gui_cleanup' EXIT
gui_wait_for 10 /usr/bin/python3 -c 'import socket; socket.create_connection(("127.0.0.1", 18393), 1)' 2>/dev/null ||
    gui_fail "the feed server did not start"

# Wine hands a web address that a program opens to the desktop's opener,
# xdg-open: the check's own comes first on the path and notes each address.
opened="$GUI_WORK/opened.txt"
mkdir -p "$GUI_WORK/bin"
printf '#!/bin/bash\necho "$*" >>"%s"\n' "$opened" >"$GUI_WORK/bin/xdg-open"
chmod +x "$GUI_WORK/bin/xdg-open"
export PATH="$GUI_WORK/bin:$PATH"

gui_stage "$stage" "$NIMBORA_TEST_DATA/../../widgets/feeds"
gui_config_write "$stage/widget/feeds/feeds.config" 'feedWindow/top=300' 'feedWindow/left=300' \
    'Settings/feedUrl=http://127.0.0.1:18393/feed.xml'
gui_start "$stage" -s 'widget\feeds\feeds.xml'
window=$(gui find --class TSkinForm --visible --timeout 15000) || gui_fail "no feed window"
sleep 2
# Blue titles (16, 64, 160) on the light panel in the first two rows, none in
# the third: pixels much bluer than red.
titles() {
    gui pixels "$window" 14 "$1" 200 17 |
        python3 -c 'import sys; print(sum(int(p[6:8], 16) > int(p[2:4], 16) + 64 for p in sys.stdin.read().split()))'
}
(( $(titles 30) > 20 )) || gui_fail "no first title"
(( $(titles 49) > 20 )) || gui_fail "no second title"
(( $(titles 68) == 0 )) || gui_fail "a third title where the feed has two"
gui_screenshot "$GUI_WORK/feeds.png"
echo "screenshot: $GUI_WORK/feeds.png"

# opened_count N: the opener has been asked N times.
opened_count() { [ "$(cat "$opened" 2>/dev/null | wc -l)" = "$1" ]; }
gui click 40 38 --window "$window"
gui_wait_for 10 opened_count 1 || gui_fail "a click on the first title opened nothing"
gui click 40 57 --window "$window"
gui_wait_for 10 opened_count 2 || gui_fail "a click on the second title opened nothing"
gui click 40 76 --window "$window"
sleep 2
opened_count 2 || gui_fail "a click on the empty third row opened something"
[ "$(cat "$opened")" = $'http://127.0.0.1:18393/1\nhttp://127.0.0.1:18393/2' ] || gui_fail "opened: $(cat "$opened")"
gui_kill "$GUI_PID"
echo "feeds: every check passed"
