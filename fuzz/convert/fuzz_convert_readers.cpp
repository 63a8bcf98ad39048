// libFuzzer target for the record splitter and the converter's readers. Any bytes are:
// - split as a record line with each delimiter: the fields lie in order inside the line;
// - converted as pairs, pairs across lines and records (--columns 1,2, blanks), which
//   must end with status 0 or 1 and never crash;
// - when they are plain two-column input (every line blank or two numbers between
//   blanks), the record mode must give the pair stream's values, line for line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "convert/convert_run.h"
#include "fuzz/convert/captured_run.h"
#include "text/batch_file.h"
#include "text/batch_reader.h"
#include "text/digits.h"
#include "text/record_fields.h"

static void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_convert_readers: %s\n", what);
        std::abort();
    }
}

static void CheckSplits(std::string_view bytes)
{
    std::vector<FieldSpan> fields;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p != end) {
        const LineSpan span = FindLineEnd(p, end);
        const std::string_view line(p, static_cast<std::size_t>(span.end - p));
        for (char delimiter : {',', ';', '\t', kBlanksDelimiter}) {
            std::size_t problem = 0;
            if (!SplitFields(line, delimiter, fields, problem)) {
                Require(problem <= line.size(), "problem field beyond the line");
                continue;
            }
            std::size_t last = 0;
            for (const FieldSpan& field : fields) {
                Require(field.begin >= last && field.begin <= field.end && field.end <= line.size(),
                        "field out of order or outside the line");
                Require(FieldValue(line, field).size() <= field.end - field.begin, "value longer than its field");
                last = field.end;
            }
        }
        const char detected = DetectDelimiter(line);
        Require(detected == ',' || detected == ';' || detected == '\t' || detected == kBlanksDelimiter,
                "unknown delimiter detected");
        p = span.next;
    }
}

using Run = CapturedRun;

static Run Convert(const std::string& path, bool records, bool acrossLines)
{
    ConvertOptions options;
    options.files = {path};
    options.quiet = true;
    options.records = records;
    options.delimiter = records ? std::optional<char>(kBlanksDelimiter) : std::nullopt;
    options.pairsAcrossLines = acrossLines;
    const Run run = ConvertCaptured(options, 1);
    Require(run.status == 0 || run.status == 1, "status other than 0 or 1");
    return run;
}

// The texts between field blanks on a line.
static std::vector<std::string_view> Tokens(const char* p, const char* end)
{
    std::vector<std::string_view> tokens;
    while (p != end) {
        if (IsFieldBlank(*p)) {
            ++p;
            continue;
        }
        const char* token = p;
        while (p != end && !IsFieldBlank(*p)) ++p;
        tokens.emplace_back(token, static_cast<std::size_t>(p - token));
    }
    return tokens;
}

// Every line blank or two numbers of the batch grammar between blanks, and nothing but
// digits, signs, points, exponents, blanks and line ends.
static bool PlainTwoColumns(std::string_view bytes)
{
    for (char c : bytes)
        if (!(IsDigit(c) || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E' || IsFieldBlank(c) || IsLineEnd(c)))
            return false;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p != end) {
        const LineSpan span = FindLineEnd(p, end);
        const std::vector<std::string_view> tokens = Tokens(p, span.end);
        for (std::string_view token : tokens)
            if (ScanBatchNumber(token.data(), token.data() + token.size()) != token.data() + token.size()) return false;
        if (!tokens.empty() && tokens.size() != 2) return false;
        p = span.next;
    }
    return true;
}

// The last two blank-separated texts of each line that is not blank.
static std::vector<std::string> LastTwoOfEachLine(const std::string& text)
{
    std::vector<std::string> values;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end) {
        const LineSpan span = FindLineEnd(p, end);
        const std::vector<std::string_view> tokens = Tokens(p, span.end);
        if (tokens.size() >= 2) {
            values.emplace_back(tokens[tokens.size() - 2]);
            values.emplace_back(tokens.back());
        }
        p = span.next;
    }
    return values;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckSplits(bytes);

    static const int fd = memfd_create("fuzz_convert_readers", 0);
    Require(fd >= 0, "no memory file");
    Require(ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == static_cast<ssize_t>(size), "cannot write the input");
    lseek(fd, 0, SEEK_SET);
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    const Run pairs = Convert(path, false, false);
    const Run records = Convert(path, true, false);
    Convert(path, false, true);

    // The pair stream stops where a number is beyond range or a point cannot be
    // converted; the record mode stops there too, with the same lines before it.
    if (pairs.status == 0 && PlainTwoColumns(bytes.substr(0, TextLength(bytes)))) {
        Require(records.status == 0, "records stopped where the pair stream did not");
        Require(LastTwoOfEachLine(records.out) == LastTwoOfEachLine(pairs.out),
                "records and pairs give different values");
    }
    return 0;
}
