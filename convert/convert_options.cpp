#include "convert_options.h"

#include "crs_options.h"
#include "messages.h"
#include "text/record_fields.h"

#include <charconv>
#include <string>
#include <string_view>

// The help texts start with the usage line.
#define USAGE "Usage: kartovel-convert [--to-geographic | --to-tm2] [OPTION]... [FILE...]\n"
const char* const kConvertUsage = USAGE;

const char* const kConvertHelp =
    USAGE
    "\n"
    "Converts coordinates between Taiwan's TM2 grid (2-degree Transverse Mercator,\n"
    "central meridian 121 E, false easting 250000 m, scale 0.9999) and geographic\n"
    "longitude and latitude in decimal degrees, as the Kartovel window's batch page does.\n"
    "Output is written in input order while the input is read.\n"
    "\n"
    "Pairs (the default): one pair \"x y\" a line, decimal numbers with \".\" as the\n"
    "decimal point, separated by blanks: easting northing in metres, or longitude\n"
    "latitude in degrees. Blank lines are skipped. A file with one number on every line\n"
    "is read two lines to a pair. Writes one line a pair: the batch page's result line.\n"
    "Records (--columns, --delimiter, --replace or --decimal-comma): a spreadsheet file\n"
    "saved as CSV, one point a line; fields separated by a comma, semicolon, tab or\n"
    "blanks (found from the first line), quoted as in CSV (\"\" inside quotes is one\n"
    "quote). A first line whose chosen fields are not numbers (with a decimal point or\n"
    "a decimal comma) is a header. Every line is written back with the two results\n"
    "appended (or in the chosen fields' places with --replace), the header with the new\n"
    "columns' names; other fields are kept as they are.\n"
    "Each number is first rounded to the 15 significant digits the window's table shows.\n"
    "A leading UTF-8 byte-order mark is skipped; when the first file is records, the\n"
    "output starts with one too. A byte 26 (Ctrl-Z) ends a file.\n"
    "With no FILE, or where FILE is -, standard input is read. Several files are\n"
    "converted one after another into one output.\n"
    "\n"
    "Results: \"longitude latitude\" with 8 and 7 significant digits, or \"easting northing\"\n"
    "with 8 and 9 significant digits; \".\" as the decimal point whatever the locale\n"
    "(\",\" with --decimal-comma).\n"
    "\n"
    "Coordinate systems by name (--from and --to, always together), in any case or as\n"
    "EPSG:NNNN; longitude latitude in degrees, east first:\n"
    "  twd67          EPSG:3821  TWD67 longitude latitude (GRS67, as the window's)\n"
    "  twd67-tm2      EPSG:3828  TWD67 TM2 zone 121\n"
    "  twd67-tm2-119  EPSG:3827  TWD67 TM2 zone 119 (central meridian 119 E)\n"
    "  twd97          EPSG:3824  TWD97 longitude latitude (GRS80)\n"
    "  twd97-tm2      EPSG:3826  TWD97 TM2 zone 121\n"
    "  twd97-tm2-119  EPSG:3825  TWD97 TM2 zone 119\n"
    "  wgs84          EPSG:4326  taken as TWD97: the two agree within about 1 m\n"
    "Between TWD67 and TWD97 the datum is shifted, by the point's place: on the main\n"
    "island and its zone-121 islands the planar 4-parameter transformation on the\n"
    "zone-121 grid (about 1 m, at most about 2 m); on Penghu (119.0-119.9 E, 23.0-23.9 N)\n"
    "a geocentric 3-parameter translation (a few metres). Kinmen (118.1-118.6 E,\n"
    "24.3-24.6 N) and Matsu (119.8-120.7 E, 25.9-26.5 N) never used TWD67: a TWD67 point\n"
    "there stops the run. Zone 119 belongs to Penghu, Kinmen and Matsu, zone 121 to the\n"
    "rest: results in the other zone are written, with one notice at the end.\n"
    "Records with --from twd67, twd97 or wgs84 may give degrees, minutes and seconds:\n"
    "120°58'25.97\", 120°58′25.97″, 120°58’25.97 (the window's), 120d58m25.97s, with a sign\n"
    "or a letter E, W, N, S.\n"
    "\n"
    "  --to-geographic      TM2 easting northing to longitude latitude (the default)\n"
    "  --to-tm2             longitude latitude to TM2 easting northing\n"
    "  --ellipsoid NAME     grs67 or twd67 (the default), grs80 or twd97, in any case;\n"
    "                       only the ellipsoid changes, no datum shift is applied\n"
    "  --columns X,Y        records: the x and y fields, by number from 1 or by name\n"
    "                       from the header line (default 1,2)\n"
    "  --delimiter D        records: , or ; or tab or blanks, instead of finding it\n"
    "  --replace            records: the results replace the x and y fields\n"
    "  --decimal-comma      records: numbers written with a decimal comma (247342,5),\n"
    "                       fields separated by ; or tab (or blanks), not by commas;\n"
    "                       the results are written with a decimal comma too\n"
    "  --pairs-across-lines pairs: take numbers two by two wherever the lines end\n"
    "  --from CRS           the input's coordinate system (see above); not with\n"
    "                       --to-tm2, --to-geographic or --ellipsoid\n"
    "  --to CRS             the output's coordinate system\n"
    "  --precision full     degrees with 9 decimals, metres with 4 (about 0.1 mm);\n"
    "                       batch, the default, writes the batch page's digits\n"
    "  --output-format F    csv (the default: lines as above), or geojson, kml, gpx:\n"
    "                       one point each in TWD97 / WGS 84 longitude latitude,\n"
    "                       9 decimals (--to twd97 or --to wgs84)\n"
    "  --name FIELD         records: the field that names each point in geojson, kml\n"
    "                       and gpx (default: the first field that is not a\n"
    "                       coordinate; in pairs, the line number)\n"
    "  -q, --quiet          no warning about points outside Taiwan's area, no notice\n"
    "                       about zones\n"
    "  -j, --jobs N         convert on N threads, 1 to 64 (default: one per core, at\n"
    "                       most 64); the output is the same for every N\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n"
    "When an option is repeated, the last one counts.\n"
    "\n"
    "Examples:\n"
    "  kartovel-convert --to-tm2 --ellipsoid twd97 points.txt > grid.txt\n"
    "  kartovel-convert --columns E,N sites.csv > sites-lonlat.csv\n"
    "  kartovel-convert --to-tm2 --columns 3,2 --replace wells.csv > wells-tm2.csv\n"
    "  kartovel-convert --from twd67-tm2 --to twd97 --output-format kml old.txt > old.kml\n"
    "\n"
    "The run stops at the first problem, after writing the lines before it; later files\n"
    "are not read. On standard error (FILE is <stdin> for standard input):\n"
    "  kartovel-convert: FILE: REASON      the file cannot be read, or changed size\n"
    "  FILE:LINE: N numbers on the line    pairs: a line without exactly one pair\n"
    "  FILE:LINE: cannot read a pair of numbers at \"TEXT\"\n"
    "                                      pairs: text that is not a number, or a last\n"
    "                                      number without its partner\n"
    "  FILE:LINE: field N: ...             records: a chosen field that is not a number\n"
    "                                      (or angle) or is missing\n"
    "  FILE:LINE: the point lies on Kinmen, where TWD67 was never used ...\n"
    "                                      a TWD67 side for a point on Kinmen or Matsu\n"
    "  FILE:LINE: the line holds a NUL byte ...\n"
    "                                      a byte 0 in a file that is not UTF-16 text\n"
    "  FILE:LINE: the line is longer than 1048576 bytes ...\n"
    "                                      a line of more than 1 MiB: reading stops\n"
    "  FILE:LINE: 'INF' is not a valid floating point value\n"
    "                                      a number beyond the double range\n"
    "  FILE:LINE: Floating point overflow  a point whose conversion leaves the number\n"
    "                                      range (also: division by zero, invalid\n"
    "                                      floating point operation)\n"
    "Points outside Taiwan's area (grid E 0-500000, N 2300000-2900000; longitude\n"
    "117-124, latitude 20-27) give one warning at the end; they are still converted.\n"
    "\n"
    "Exit status: 0 when every file was converted to its end, 1 after one of the\n"
    "problems above, a failed write or running out of memory, 2 for a bad command line\n"
    "(also when the header line shows that --columns names one field twice).\n";

const char* const kConvertHelpChinese =
    USAGE
    "\n"
    "在台灣 TM2 二度分帶座標（橫麥卡托投影，中央經線 121 E，東偏移 250000 m，\n"
    "尺度 0.9999）與十進位經緯度之間轉換，與 Kartovel 視窗的批次頁相同。\n"
    "邊讀邊依輸入順序寫出結果。\n"
    "\n"
    "數對（預設）：每行一對「x y」，以空白分隔，小數點為「.」：東距 北距（公尺），\n"
    "或 經度 緯度（度）。空行略過。每行只有一個數字的檔案以兩行為一對。每對寫出\n"
    "一行，即批次頁的結果行。\n"
    "記錄（--columns、--delimiter、--replace 或 --decimal-comma）：試算表另存的 CSV 檔，\n"
    "每行一點；欄位以逗號、分號、定位字元或空白分隔（由第一行判斷），可如 CSV 加引號\n"
    "（引號內的 \"\" 為一個引號）。第一行所選欄位不是數字（以點或逗號為小數點）時即為\n"
    "標題行。每行原樣寫回並在後面\n"
    "加上兩個結果（--replace 則取代所選欄位），標題行加上新欄名；其他欄位不變。\n"
    "每個數字先捨入為視窗表格顯示的 15 位有效數字。\n"
    "開頭的 UTF-8 位元組順序標記會略過；第一個檔案是記錄時，輸出開頭也寫上一個。\n"
    "位元組 26（Ctrl-Z）表示檔案結束。\n"
    "沒有 FILE 或 FILE 為 - 時讀標準輸入；多個檔案依序轉換到同一個輸出。\n"
    "\n"
    "結果：「經度 緯度」8 與 7 位有效數字，或「東距 北距」8 與 9 位；小數點一律為「.」\n"
    "（--decimal-comma 時為「,」）。\n"
    "\n"
    "坐標系統名稱（--from 與 --to 一起用），大小寫皆可，也可寫 EPSG:NNNN；經緯度以度為單位，\n"
    "經度在前：\n"
    "  twd67          EPSG:3821  TWD67 經緯度（GRS67，與視窗相同）\n"
    "  twd67-tm2      EPSG:3828  TWD67 TM2 121 度分帶\n"
    "  twd67-tm2-119  EPSG:3827  TWD67 TM2 119 度分帶（中央經線 119 E）\n"
    "  twd97          EPSG:3824  TWD97 經緯度（GRS80）\n"
    "  twd97-tm2      EPSG:3826  TWD97 TM2 121 度分帶\n"
    "  twd97-tm2-119  EPSG:3825  TWD97 TM2 119 度分帶\n"
    "  wgs84          EPSG:4326  視同 TWD97：兩者相差約 1 m 以內\n"
    "TWD67 與 TWD97 之間依點的位置做基準轉換：台灣本島與用 121 度分帶的離島用 121 度分帶\n"
    "坐標上的平面四參數轉換（約 1 m，最大約 2 m）；澎湖（119.0-119.9 E、23.0-23.9 N）用\n"
    "地心三參數平移（數公尺）。金門（118.1-118.6 E、24.3-24.6 N）與馬祖（119.8-120.7 E、\n"
    "25.9-26.5 N）從未使用 TWD67：該處的 TWD67 點會停止轉換。澎湖、金門、馬祖用 119 度\n"
    "分帶，其他地方用 121 度分帶：轉到另一個分帶的結果照樣寫出，最後注意一次。\n"
    "記錄模式下 --from twd67、twd97 或 wgs84 的欄位可寫度分秒：120°58'25.97\"、\n"
    "120°58′25.97″、120°58’25.97（視窗的寫法）、120d58m25.97s，可加正負號或 E、W、N、S。\n"
    "\n"
    "  --to-geographic      TM2 東距 北距 轉為 經度 緯度（預設）\n"
    "  --to-tm2             經度 緯度 轉為 TM2 東距 北距\n"
    "  --ellipsoid NAME     grs67 或 twd67（預設）、grs80 或 twd97，大小寫皆可；\n"
    "                       只換橢球體，不做基準轉換\n"
    "  --columns X,Y        記錄：x 與 y 欄，用欄號（從 1 起）或標題行的欄名（預設 1,2）\n"
    "  --delimiter D        記錄：指定 , 或 ; 或 tab 或 blanks，不自動判斷\n"
    "  --replace            記錄：結果取代 x 與 y 欄\n"
    "  --decimal-comma      記錄：數字以逗號為小數點（247342,5），欄位以 ; 或 tab（或空白）\n"
    "                       分隔，不可用逗號；結果也以逗號為小數點\n"
    "  --pairs-across-lines 數對：不論換行，數字兩兩配對\n"
    "  --from CRS           輸入的坐標系統（見上）；不能與 --to-tm2、--to-geographic、\n"
    "                       --ellipsoid 同用\n"
    "  --to CRS             輸出的坐標系統\n"
    "  --precision full     度取 9 位小數、公尺取 4 位（約 0.1 mm）；預設 batch 為批次頁的位數\n"
    "  --output-format F    csv（預設，即上述各行），或 geojson、kml、gpx：每點一筆，\n"
    "                       TWD97 / WGS 84 經緯度 9 位小數（--to twd97 或 --to wgs84）\n"
    "  --name FIELD         記錄：geojson、kml、gpx 各點名稱所用的欄位（預設為第一個\n"
    "                       非坐標欄位；數對則為行號）\n"
    "  -q, --quiet          點在台灣範圍外時不警告，分帶不合時不注意\n"
    "  -j, --jobs N         用 N 個執行緒轉換，1 到 64（預設每核心一個，最多 64）；輸出不變\n"
    "  -h, --help           顯示本說明後結束\n"
    "  -V, --version        顯示版本後結束\n"
    "選項重複時以最後一個為準。\n"
    "\n"
    "範例：\n"
    "  kartovel-convert --to-tm2 --ellipsoid twd97 points.txt > grid.txt\n"
    "  kartovel-convert --columns E,N sites.csv > sites-lonlat.csv\n"
    "  kartovel-convert --to-tm2 --columns 3,2 --replace wells.csv > wells-tm2.csv\n"
    "  kartovel-convert --from twd67-tm2 --to twd97 --output-format kml old.txt > old.kml\n"
    "\n"
    "遇到第一個問題即停止，之前的各行已寫出；之後的檔案不讀。訊息寫到標準錯誤\n"
    "（標準輸入的 FILE 為 <stdin>），格式為「FILE:LINE: 原因」或\n"
    "「kartovel-convert: FILE: 原因」；金門、馬祖的點遇到 TWD67 時亦停止。點在台灣範圍外（TM2 E 0-500000、N 2300000-2900000；\n"
    "經度 117-124、緯度 20-27）時照樣轉換，最後警告一次。\n"
    "\n"
    "含有 NUL 位元組（不是 UTF-16 文字時）或超過 1048576 位元組的行也會停止。\n"
    "\n"
    "結束狀態：全部轉換完為 0，發生上述問題、寫出失敗或記憶體不足為 1，命令列錯誤為 2\n"
    "（標題行顯示 --columns 指的是同一欄時也是 2）。\n";

#undef USAGE

static bool ParseJobs(std::string_view text, unsigned& jobs)
{
    unsigned value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || ptr != last || value < 1 || value > kMaximumJobs)
        return false;
    jobs = value;
    return true;
}

int EllipsoidIndexOfName(std::string_view name)
{
    std::string lower(name);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (lower == "grs67" || lower == "twd67") return 0;
    if (lower == "grs80" || lower == "twd97") return 1;
    return -1;
}

// Two spellings of one field: the same number ("1" and "01") or the same header name in
// any case ("E" and "e"). A name and a number can only be compared with the header.
static bool SameColumn(const std::string& a, const std::string& b)
{
    const bool aNumber = a.find_first_not_of("0123456789") == std::string::npos;
    const bool bNumber = b.find_first_not_of("0123456789") == std::string::npos;
    if (aNumber != bNumber) return false;
    return aNumber ? std::stoul(a) == std::stoul(b) : SameFieldName(a, b);
}

static std::optional<char> DelimiterOfName(const std::string& name)
{
    if (name == "," || name == "comma") return ',';
    if (name == ";" || name == "semicolon") return ';';
    if (name == "\t" || name == "tab") return '\t';
    if (name == " " || name == "blanks" || name == "space") return ' ';
    return std::nullopt;
}

std::optional<std::string> ParseConvertOptions(const std::vector<std::string>& arguments,
                                               ConvertOptions& options)
{
    bool help = false;
    bool version = false;
    bool directionGiven = false;
    bool ellipsoidGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.size() < 2 || argument[0] != '-') {
            options.files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }

        // "--name=value" or "--name value" for the options that take a value; "-j N"
        // or "-jN" for the one short option that does.
        std::string name = argument;
        std::optional<std::string> value;
        if (const std::size_t equals = argument.find('='); argument.starts_with("--") && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        } else if (argument.starts_with("-j") && argument.size() > 2) {
            name = "-j";
            value = argument.substr(2);
        }
        if (name == "-h") name = "--help";
        if (name == "-V") name = "--version";
        if (name == "-q") name = "--quiet";
        if (name == "-j") name = "--jobs";
        const bool takesValue = name == "--ellipsoid" || name == "--jobs" || name == "--columns" || name == "--delimiter" ||
                                name == "--from" || name == "--to" || name == "--precision" ||
                                name == "--output-format" || name == "--name";
        if (takesValue && !value) {
            if (i + 1 == arguments.size())
                return NeedsValueMessage(name);
            value = arguments[++i];
        } else if (!takesValue && value) {
            return TakesNoValueMessage(name);
        }

        if (name == "--to-geographic") {
            options.mode = TM2ToGeographic;
            directionGiven = true;
        } else if (name == "--to-tm2") {
            options.mode = GeographicToTM2;
            directionGiven = true;
        } else if (name == "--ellipsoid") {
            const int index = EllipsoidIndexOfName(*value);
            if (index < 0)
                return UnknownEllipsoidMessage(*value);
            options.ellipsoidIndex = index;
            ellipsoidGiven = true;
        } else if (name == "--from" || name == "--to") {
            const std::optional<Crs> crs = CrsOfName(*value);
            if (!crs)
                return UnknownCrsMessage(*value);
            (name == "--from" ? options.from : options.to) = crs;
        } else if (name == "--precision") {
            if (*value != "full" && *value != "batch")
                return UnknownPrecisionMessage(*value);
            options.fullPrecision = *value == "full";
        } else if (name == "--output-format") {
            const std::optional<OutputFormat> format = OutputFormatOfName(*value);
            if (!format)
                return UnknownOutputFormatMessage(*value);
            options.outputFormat = *format;
        } else if (name == "--name") {
            if (value->empty())
                return Localized("--name needs a field: a number from 1 or a name from the header line",
                                 "--name 需要一個欄位：從 1 起算的欄號或標題行的欄名");
            if (value->find_first_not_of("0123456789") == std::string::npos &&
                (value->size() > 9 || std::stoul(*value) == 0))
                return Localized("field '", "欄位 '") + *value +
                       Localized("' is not a field number from 1 to 999999999", "' 不是 1 到 999999999 的欄號");
            options.nameField = *value;
            options.records = true;
        } else if (name == "--jobs") {
            if (!ParseJobs(*value, options.jobs))
                return NotAJobCountMessage(*value, kMaximumJobs);
        } else if (name == "--columns") {
            const std::size_t comma = value->find(',');
            if (comma == std::string::npos || comma == 0 || comma + 1 == value->size() ||
                value->find(',', comma + 1) != std::string::npos)
                return NotTwoColumnsMessage(*value);
            options.columns[0] = value->substr(0, comma);
            options.columns[1] = value->substr(comma + 1);
            for (const std::string& column : options.columns)
                if (column.find_first_not_of("0123456789") == std::string::npos &&
                    (column.size() > 9 || std::stoul(column) == 0))
                    return NotAFieldNumberMessage(column);
            if (SameColumn(options.columns[0], options.columns[1]))
                return SameColumnsMessage(options.columns[0], options.columns[1]);
            options.records = true;
        } else if (name == "--delimiter") {
            options.delimiter = DelimiterOfName(*value);
            if (!options.delimiter)
                return UnknownDelimiterMessage(*value);
            options.records = true;
        } else if (name == "--replace") {
            options.replace = true;
            options.records = true;
        } else if (name == "--decimal-comma") {
            options.decimalComma = true;
            options.records = true;
        } else if (name == "--pairs-across-lines") {
            options.pairsAcrossLines = true;
        } else if (name == "--quiet") {
            options.quiet = true;
        } else if (name == "--help") {
            help = true;
        } else if (name == "--version") {
            version = true;
        } else {
            return UnknownOptionMessage(argument);
        }
    }
    if (options.records && options.pairsAcrossLines)
        return PairsAcrossLinesWithRecordsMessage();
    if (options.decimalComma && options.delimiter == ',')
        return DecimalCommaWithCommaDelimiterMessage();
    if (const auto problem = CrsOptionsProblem(options, directionGiven, ellipsoidGiven))
        return *problem;
    if (help)
        options.action = ConvertOptions::Action::Help;
    else if (version)
        options.action = ConvertOptions::Action::Version;
    return std::nullopt;
}
