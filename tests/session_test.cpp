// Session record, report appending and bounded copies.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "engine/session.h"

namespace {

TEST(Session, StartsEmptyAndAppendsInOrder)
{
    SessionContext context;
    EXPECT_EQ(context.report[0], 0);
    EXPECT_EQ(context.tokenCount, 0);
    AppendReport(context, "a");
    AppendReport(context, "%s", "b");
    AppendReport(context, "%d-mal", 2);
    EXPECT_STREQ(context.report, "ab2-mal");
}

TEST(Session, ForeignTextIsNeverAFormat)
{
    SessionContext context;
    AppendReportText(context, "100% %s %n %%");
    EXPECT_STREQ(context.report, "100% %s %n %%");
}

TEST(Session, ReportKeepsWhatFitsAndNeverOverflows)
{
    auto context = std::make_unique<SessionContext>();
    std::string chunk(1000, 'x');
    for (int i = 0; i < 20; i++)
        AppendReportText(*context, chunk.c_str());
    EXPECT_EQ(std::string(context->report).size(), size_t(ReportSize - 1));
    AppendReport(*context, "%s", "more");
    AppendReportText(*context, "more");
    EXPECT_EQ(std::string(context->report).size(), size_t(ReportSize - 1));
    EXPECT_EQ(context->report[ReportSize - 1], 0);
    // The fields behind the report are untouched.
    EXPECT_EQ(context->tokens[0][0], 0);

    auto formatted = std::make_unique<SessionContext>();
    for (int i = 0; i < 20; i++)
        AppendReport(*formatted, "%s", chunk.c_str());
    EXPECT_EQ(std::string(formatted->report), std::string(context->report));
}

TEST(Session, BoundedCopies)
{
    SessionContext context;
    SetUserName(context, std::string(300, 'u').c_str());
    EXPECT_EQ(std::string(context.userName), std::string(259, 'u'));
    SetExeDir(context, "C:\\Tools");
    EXPECT_STREQ(context.exeDir, "C:\\Tools");

    char buffer[4] = "abc";
    CopyBounded(buffer, "xyz", 1);
    EXPECT_STREQ(buffer, "");
    std::strcpy(buffer, "abc");
    CopyBounded(buffer, nullptr, 4);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(CopyBounded(nullptr, "x", 4), nullptr);
}

TEST(Session, JoinRefusesWhatDoesNotFit)
{
    char buffer[8];
    EXPECT_TRUE(JoinFits(buffer, sizeof buffer, "ab", "\\", "cde"));
    EXPECT_STREQ(buffer, "ab\\cde");
    EXPECT_TRUE(JoinFits(buffer, sizeof buffer, "abcdefg"));
    EXPECT_FALSE(JoinFits(buffer, sizeof buffer, "abcd", "efgh"));
    EXPECT_STREQ(buffer, "");
}

}  // namespace
