#include "parts/csvfield.h"

#include "../../testsupport.h"

// A spreadsheet takes a field that begins with one of = + - @ TAB CR as a
// formula (LibreOffice and Excel both); the apostrophe makes it text.
TEST(CsvField, NetworkTextNeverOpensAsAFormulaAndNumbersStayNumbers)
{
    struct Case { const char *text, *field; };
    const Case cases[] = {
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"=1+1", "'=1+1"},
        {"+44 cmd", "'+44 cmd"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1:A9)", "'@SUM(A1:A9)"},
        {"\t=1", "'\t=1"},
        {"\r=1", "\"'\r=1\""},
        {"-", "'-"},
        {"-5", "-5"},
        {"+3", "+3"},
        {"-1.5", "-1.5"},
        {"-.5", "-.5"},
        {"-1e5", "-1e5"},
        {"K1ABC", "K1ABC"},
        {"1=1", "1=1"},
        {" =1", " =1"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(csvField(QString::fromUtf8(c.text)), QString::fromUtf8(c.field)) << c.text;
}
