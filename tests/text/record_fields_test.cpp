// The fields of a delimited line and the delimiter found from a first line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/record_fields.h"

// The fields' values joined by "|", or "error at N" for a line that does not split.
static std::string Split(const std::string& line, char delimiter)
{
    std::vector<FieldSpan> fields;
    std::size_t problem = 0;
    if (!SplitFields(line, delimiter, fields, problem)) return "error at " + std::to_string(problem);
    std::string joined;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) joined += '|';
        joined += FieldValue(line, fields[i]);
    }
    return "[" + joined + "]";
}

TEST(RecordFields, Split)
{
    struct Case {
        const char* line;
        char delimiter;
        const char* fields;
    };
    const std::vector<Case> table = {
        {"1,2,3", ',', "[1|2|3]"},
        {"a,,b", ',', "[a||b]"},
        {"", ',', "[]"},
        {",", ',', "[|]"},
        {"  247342 \t 2652335  ", kBlanksDelimiter, "[247342|2652335]"},
        {" \t ", kBlanksDelimiter, "[]"},
        {"\"a,b\",c", ',', "[a,b|c]"},
        {"\"say \"\"hi\"\"\";x", ';', "[say \"hi\"|x]"},
        {"  \"q\"  ,2", ',', "[q|2]"},
        {"1;\"2;3\";4", ';', "[1|2;3|4]"},
        {"x\t\"y z\"\t", '\t', "[x|y z|]"},
        {"\"a b\" c", kBlanksDelimiter, "[a b|c]"},
        {"1,\"open", ',', "error at 1"},
        {"\"closed\"x,2", ',', "error at 0"},
        {"a,b\"c,d", ',', "[a|b\"c|d]"},
    };
    for (const Case& c : table)
        EXPECT_EQ(Split(c.line, c.delimiter), c.fields) << "line [" << c.line << "] delimiter [" << c.delimiter << "]";
}

TEST(RecordFields, DetectDelimiter)
{
    struct Case {
        const char* firstLine;
        char delimiter;
    };
    const std::vector<Case> table = {
        {"id,E,N", ','},
        {"id;E;N", ';'},
        {"247342,5;2652335,5", ';'},
        {"id\tE,N", '\t'},
        {"E N", kBlanksDelimiter},
        {"\"a,b\" c", kBlanksDelimiter},
        {"\"a;b\",c", ','},
        {"", kBlanksDelimiter},
    };
    for (const Case& c : table)
        EXPECT_EQ(DetectDelimiter(c.firstLine), c.delimiter) << "[" << c.firstLine << "]";
}
