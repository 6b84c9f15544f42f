#include "tools/cellsvc/CellQuery.h"

#include <gtest/gtest.h>

using namespace cellsvc;

namespace
{

const CellKey kMoscow{250, 1, 78, 314};
const std::string kLocatorForm = "&cellid=314&operatorid=1&countrycode=250&lac=78";

// What is accepted gives the key; what is refused says why, in a message that names the key or
// the fault, so that the user learns what to fix.
TEST(CellQuery, GivesTheKeyOrSaysWhyNot)
{
    const struct {
        const char* name;
        std::string query;
        const char* code;      // "" when accepted
        const char* mentioned; // a word the message must hold
        std::optional<CellKey> key = std::nullopt;
    } rows[] = {
        {"LocatorForm", kLocatorForm, "", "", kMoscow},
        {"PercentEncodedDigits",
         "&cellid=%33%31%34&operatorid=%31&countrycode=%32%35%30&lac=%37%38", "", "", kMoscow},
        {"PercentEncodedName", "&%63ellid=314&operatorid=1&countrycode=250&lac=78", "", "",
         kMoscow},
        {"LeadingZeros", "&cellid=0000000000000000000000314&operatorid=01&countrycode=0250&lac=078",
         "", "", kMoscow},
        {"OtherOrderAndUnknownKeys", "lac=78&x=%zz%&countrycode=250&flag&operatorid=1&cellid=314",
         "", "", kMoscow},
        {"LargestValues", "&cellid=68719476735&operatorid=999&countrycode=999&lac=4294967295", "",
         "", CellKey{999, 999, kMaxLac, kMaxCellId}},
        {"ExactlyTheLengthLimit",
         kLocatorForm + "&p=" + std::string(kMaxQueryLength - kLocatorForm.size() - 3, 'p'), "", "",
         kMoscow},
        {"Empty", "", "missingKey", "cellid"},
        {"Letters", "&cellid=31a&operatorid=1&countrycode=250&lac=78", "notANumber", "cellid"},
        {"KeyWithoutEquals", "&cellid&operatorid=1&countrycode=250&lac=78", "emptyValue", "cellid"},
        {"RepeatedKey", kLocatorForm + "&lac=79", "repeatedKey", "lac"},
        {"TruncatedPercent", "&cellid=314&operatorid=1&countrycode=250&lac=7%3", "badEncoding",
         "percent"},
        {"PercentNotHex", "&cellid=%zz&operatorid=1&countrycode=250&lac=78", "badEncoding",
         "percent"},
        {"CellIdTooLarge", "&cellid=68719476736&operatorid=1&countrycode=250&lac=78", "outOfRange",
         "cellid"},
        {"ThirtyDigits",
         "&cellid=123456789012345678901234567890&operatorid=1&countrycode=250&lac=78", "outOfRange",
         "cellid"},
        {"OneByteOverTheLimit",
         kLocatorForm + "&p=" + std::string(kMaxQueryLength - kLocatorForm.size() - 2, 'p'),
         "queryTooLong", "2048"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QueryResult result = parseCellQuery(row.query);
        EXPECT_EQ(result.key, row.key);
        EXPECT_EQ(result.problem.code, row.code);
        EXPECT_NE(result.problem.message.find(row.mentioned), std::string::npos)
            << result.problem.message;
    }
}

} // namespace
