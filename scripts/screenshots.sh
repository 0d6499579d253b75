#!/usr/bin/env bash
# Makes the pictures in docs/ from the built program: it runs under Xvfb from
# a private portable copy whose pad.db holds a few sample contacts, jobs and
# notes, is driven with xdotool as a user would, and is photographed window
# by window. Run it again after the interface changes.
# Usage: scripts/screenshots.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
for tool in Xvfb xdotool /usr/bin/import /usr/bin/convert sqlite3 iconv base64; do
  command -v "$tool" >/dev/null || {
    echo "needs $tool (apt-get install xvfb xdotool imagemagick sqlite3)"; exit 1; }
done
scratch="$(mktemp -d)"
display=":$((90 + RANDOM % 100))"
cleanup() { kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$scratch"; }
trap cleanup EXIT

mkdir -p "$scratch/app" "$scratch/run"
chmod 700 "$scratch/run"
cp -r "$build/bin/velmora" "$build/bin/pad.db" "$build/bin/pic" "$build/bin/sample" "$scratch/app/"

# --- Sample records -------------------------------------------------------
# Protected text is stored as the program stores it: Base64 of its GBK bytes.
protect() { printf '%s' "$1" | iconv -f UTF-8 -t GB18030 | base64 -w0; }
today="$(date +%Y%m%d)"
/usr/bin/convert -size 145x185 gradient:'#e4ecf7'-'#a9c0e0' \
  -fill '#5b7397' -draw 'circle 72,72 72,36' -draw 'ellipse 72,190 62,62 180,360' \
  bmp3:"$scratch/photo.bmp"
# The triggers that keep the search indexes call functions of the program's
# own, which the shell loads from the build.
sqlite3 -cmd ".load $(cd "$build/tools" && pwd)/libvelmora_sql.so" "$scratch/app/pad.db" <<SQL
INSERT INTO pe_info VALUES ('20240105091530', '陈思远', 1, '上海市浦东新区世纪大道88号1203室',
  '13812345678', '微信同号', '021-58881234', '200120', '310115198803150021',
  '浙江省杭州市西湖区文三路', 'siyuan.chen@example.com',
  '华东区采购负责人,每季度初回访;合同由他签字。', readfile('$scratch/photo.bmp'), 0);
INSERT INTO pe_info VALUES ('20240212143005', '陈静', 0, '北京市朝阳区建国路9号', '13900001111',
  '-', '-', '100022', '-', '-', 'jing.chen@example.com', '-', NULL, 0);
INSERT INTO pe_info VALUES ('20240301100000', '刘晓明', 1, '广州市天河区体育西路', '13700002222',
  '-', '-', '510620', '-', '-', '-', '-', NULL, 0);
INSERT INTO pe_dw_info VALUES ('20240105091530', '东方精密仪器有限公司', '上海市闵行区莘庄工业区春东路518号',
  '021-64901234', '021-64905678', 'www.example.com', '年采购额约300万元,付款周期60天。', 0);
INSERT INTO pe_other_info VALUES ('20240105091530',
  '喜欢喝龙井茶,生日3月15日。上次见面谈到明年扩建二号车间。', 0);
INSERT INTO job_do VALUES ('${today}080000', '${today}093000', '给陈经理回电话确认报价', 1, 0, '未完成..');
INSERT INTO job_do VALUES ('${today}080100', '${today}140000', '部门周会:第二季度销售计划', 1, 0, '未完成..');
INSERT INTO job_do VALUES ('${today}080200', '${today}000000', '整理出差报销单据', 0, 0, '${today}113000');
INSERT INTO job_do VALUES ('${today}080300', '${today}163000', '$(protect '续签仓库租赁合同')', 1, 1, '未完成..');
INSERT INTO note_pad VALUES ('${today}073012', '$(protect '今天要见东方精密的陈经理,先把报价单再核对一遍。
下午的周会上要说明二季度的目标:华东区增长百分之十五。

晚上记得给家里打电话。')');
INSERT INTO note_pad VALUES ('20240301213000', '$(protect '三月的第一天,天气转暖。')');
SQL

# --- The program, under a private display and home ------------------------
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp & xvfb=$!
sleep 1
export DISPLAY="$display" XDG_RUNTIME_DIR="$scratch/run" HOME="$scratch" LANG=C.UTF-8
# Dates and month names as a Chinese desktop shows them; xdotool keeps a
# locale it has, or it cannot read the window titles.
LANG=zh_CN.UTF-8 "$scratch/app/velmora" & app=$!
sleep 2

# No window manager: windows have no frame and stand where they placed
# themselves; the newest is on top.
# The newest window titled $1. A title is the window's caption, to which Qt
# may add " — " and the program's name; titles are compared here, as
# xdotool's own pattern match misses Chinese titles under some locales.
window_of() {
  local window found=""
  for window in $(xdotool search --name '.'); do
    case "$(xdotool getwindowname "$window")" in
      "$1" | "$1 "*) found="$window" ;;
    esac
  done
  echo "$found"
}
# X Y WIDTH HEIGHT of the window titled $1.
geometry_of() {
  eval "$(xdotool getwindowgeometry --shell "$(window_of "$1")")"
  echo "$X $Y $WIDTH $HEIGHT"
}
shoot() { # title, file
  read -r x y w h < <(geometry_of "$1")
  /usr/bin/import -window root -crop "${w}x${h}+${x}+${y}" +repage "docs/$2"
  echo "wrote docs/$2"
}
# Clicks at (dx, dy) inside the window titled $1; negative values count from
# its right or bottom edge.
click_in() {
  read -r x y w h < <(geometry_of "$1")
  local dx=$2 dy=$3
  ((dx < 0)) && dx=$((w + dx))
  ((dy < 0)) && dy=$((h + dy))
  xdotool mousemove $((x + dx)) $((y + dy)) click 1
  sleep 2
}

# The launcher is the window named after the program that has a size; its
# five buttons stand one under the other from 24 pixels below its top to 8
# above its bottom.
for window in $(xdotool search --name '.'); do
  [[ "$(xdotool getwindowname "$window")" == "Velmora商务记事本" ]] || continue
  eval "$(xdotool getwindowgeometry --shell "$window")"
  ((WIDTH > 50)) && break
done
launcher_x=$X launcher_y=$Y launcher_w=$WIDTH launcher_h=$HEIGHT
press_launcher() { # 0 diary, 1 schedule, 2 address book, 3 toolbox
  local step=$(((launcher_h - 32) / 5))
  xdotool mousemove $((launcher_x + launcher_w / 2)) $((launcher_y + 24 + step * $1 + step / 2)) \
    click 1
  sleep 2
}
/usr/bin/import -window root -crop "${launcher_w}x${launcher_h}+${launcher_x}+${launcher_y}" \
  +repage docs/launcher.png
echo "wrote docs/launcher.png"

# The planner opens on today, with the day's jobs listed.
press_launcher 1
shoot '日程安排' planner.png

# The diary's history shows the newest note ("查看以前记录", third button).
press_launcher 0
click_in '记事本' 300 -31
shoot '以前记事本记录' diary.png

# The calculator, from the toolbox's first button, after 1234.5 * 8 =.
press_launcher 3
read -r x y w h < <(geometry_of '百宝箱')
xdotool mousemove $((x + w / 8)) $((y + 45)) click 1
sleep 2
xdotool windowfocus --sync "$(window_of '计算器')"
xdotool type --delay 80 '1234.5*8='
sleep 1
shoot '计算器' calculator.png

# The address book: a name search for "陈" opens the first of two contacts.
press_launcher 2
xdotool windowfocus --sync "$(window_of '通讯录')"
xdotool type --delay 120 '陈'
xdotool key Return
sleep 2
shoot '通讯录' contacts.png

# Its "打印" button, the last of the personal tab's bottom row, opens the
# card's preview.
click_in '通讯录' 363 -22
# The preview asks to open maximised, which takes a window manager; it is
# given the screen by hand, then shows the whole page ("整页显示").
preview="$(window_of '打印预览')"
xdotool windowmove "$preview" 0 0 windowsize "$preview" 1024 768
sleep 1
click_in '打印预览' 250 19
shoot '打印预览' card-preview.png
