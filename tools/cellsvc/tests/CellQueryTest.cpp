#include "tools/cellsvc/CellQuery.h"

#include <gtest/gtest.h>
#include <ostream>

using namespace cellsvc;

namespace
{

struct Accepted {
    const char* name;
    std::string query;
    CellKey key;
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const Accepted& row, std::ostream* out)
{
    *out << row.name;
}

class AcceptedQuery : public testing::TestWithParam<Accepted>
{
};

TEST_P(AcceptedQuery, GivesTheKey)
{
    const QueryResult result = parseCellQuery(GetParam().query);
    ASSERT_TRUE(result.key) << result.problem.code << ": " << result.problem.message;
    EXPECT_EQ(*result.key, GetParam().key);
}

const CellKey kMoscow{250, 1, 78, 314};

INSTANTIATE_TEST_SUITE_P(
    CellQuery, AcceptedQuery,
    testing::Values(
        Accepted{"LocatorForm", "&cellid=314&operatorid=1&countrycode=250&lac=78", kMoscow},
        Accepted{"PercentEncodedDigits",
                 "&cellid=%33%31%34&operatorid=%31&countrycode=%32%35%30&lac=%37%38", kMoscow},
        Accepted{"PercentEncodedName", "&%63ellid=314&operatorid=1&countrycode=250&lac=78",
                 kMoscow},
        Accepted{"LeadingZeros",
                 "&cellid=0000000000000000000000314&operatorid=01&countrycode=0250&lac=078",
                 kMoscow},
        Accepted{"OtherOrderAndUnknownKeys",
                 "lac=78&x=%zz%&countrycode=250&flag&operatorid=1"
                 "&cellid=314",
                 kMoscow},
        Accepted{"EmptyFieldsEverywhere", "&&cellid=314&&operatorid=1&countrycode=250&lac=78&&",
                 kMoscow},
        Accepted{"UmtsLongCellId", "&cellid=268435455&operatorid=99&countrycode=1&lac=65535",
                 CellKey{1, 99, 65535, 268435455}},
        Accepted{"LargestValues",
                 "&cellid=68719476735&operatorid=999&countrycode=999&lac=4294967295",
                 CellKey{999, 999, kMaxLac, kMaxCellId}},
        Accepted{"ExactlyTheLengthLimit",
                 [] {
                     std::string q = "&cellid=314&operatorid=1&countrycode=250&lac=78&pad=";
                     return q + std::string(kMaxQueryLength - q.size(), 'p');
                 }(),
                 kMoscow}),
    [](const auto& info) { return std::string(info.param.name); });

struct Rejected {
    const char* name;
    std::string query;
    const char* code;
    const char* mentioned; // a word the message must hold, so that the user learns what to fix
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const Rejected& row, std::ostream* out)
{
    *out << row.name;
}

class RejectedQuery : public testing::TestWithParam<Rejected>
{
};

TEST_P(RejectedQuery, SaysWhy)
{
    const QueryResult result = parseCellQuery(GetParam().query);
    ASSERT_FALSE(result.key);
    EXPECT_EQ(result.problem.code, GetParam().code);
    EXPECT_NE(result.problem.message.find(GetParam().mentioned), std::string::npos)
        << result.problem.message;
}

INSTANTIATE_TEST_SUITE_P(
    CellQuery, RejectedQuery,
    testing::Values(
        Rejected{"Empty", "", "missingKey", "cellid"},
        Rejected{"MissingCellId", "&operatorid=1&countrycode=250&lac=78", "missingKey", "cellid"},
        Rejected{"MissingLac", "&cellid=314&operatorid=1&countrycode=250", "missingKey", "lac"},
        Rejected{"NamesAreCaseSensitive", "&CellID=314&operatorid=1&countrycode=250&lac=78",
                 "missingKey", "cellid"},
        Rejected{"Letters", "&cellid=31a&operatorid=1&countrycode=250&lac=78", "notANumber",
                 "cellid"},
        Rejected{"Negative", "&cellid=314&operatorid=-1&countrycode=250&lac=78", "notANumber",
                 "operatorid"},
        Rejected{"EncodedSpace", "&cellid=314&operatorid=1&countrycode=250&lac=%2078", "notANumber",
                 "lac"},
        Rejected{"EmptyValue", "&cellid=&operatorid=1&countrycode=250&lac=78", "emptyValue",
                 "cellid"},
        Rejected{"KeyWithoutEquals", "&cellid&operatorid=1&countrycode=250&lac=78", "emptyValue",
                 "cellid"},
        Rejected{"RepeatedKey", "&cellid=314&operatorid=1&countrycode=250&lac=78&lac=79",
                 "repeatedKey", "lac"},
        Rejected{"RepeatedThroughEncoding",
                 "&cellid=314&%63ellid=314&operatorid=1"
                 "&countrycode=250&lac=78",
                 "repeatedKey", "cellid"},
        Rejected{"TruncatedPercent", "&cellid=314&operatorid=1&countrycode=250&lac=7%3",
                 "badEncoding", "percent"},
        Rejected{"PercentNotHex", "&cellid=%zz&operatorid=1&countrycode=250&lac=78", "badEncoding",
                 "percent"},
        Rejected{"MccTooLarge", "&cellid=314&operatorid=1&countrycode=1000&lac=78", "outOfRange",
                 "999"},
        Rejected{"CellIdTooLarge", "&cellid=68719476736&operatorid=1&countrycode=250&lac=78",
                 "outOfRange", "cellid"},
        Rejected{"ThirtyDigits",
                 "&cellid=123456789012345678901234567890&operatorid=1"
                 "&countrycode=250&lac=78",
                 "outOfRange", "cellid"},
        Rejected{"OneByteOverTheLimit",
                 "&cellid=314&operatorid=1&countrycode=250&lac=78&pad=" +
                     std::string(kMaxQueryLength, 'p'),
                 "queryTooLong", "2048"},
        Rejected{"OneMegabyte", std::string(1 << 20, '&'), "queryTooLong", "2048"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
