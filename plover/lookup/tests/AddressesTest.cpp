#include "plover/lookup/Addresses.h"

#include <gtest/gtest.h>

namespace
{

using lookup::CellFields;
using lookup::lookupAddress;

const QString service = QStringLiteral("http://127.0.0.1:8642");

TEST(LookupAddress, WorkedExample)
{
    EXPECT_EQ(lookupAddress(service, {"250", "1", "78", "314"}),
              QStringLiteral("http://127.0.0.1:8642/cellid_location/"
                             "?&cellid=314&operatorid=1&countrycode=250&lac=78"));
}

struct FieldsRow {
    const char* shows;
    CellFields fields;
    std::optional<QString> expectedQuery; // the address after "/cellid_location/"
};

void PrintTo(const FieldsRow& row, std::ostream* os)
{
    *os << row.shows;
}

class LookupAddressTable : public testing::TestWithParam<FieldsRow>
{
};

TEST_P(LookupAddressTable, FromTheFields)
{
    const std::optional<QString> address = lookupAddress(service, GetParam().fields);
    if (!GetParam().expectedQuery) {
        EXPECT_FALSE(address.has_value()) << address->toStdString();
        return;
    }
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(*address, service + "/cellid_location/" + *GetParam().expectedQuery);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LookupAddressTable,
    testing::Values(FieldsRow{"EmptyMccBlocks", {"", "1", "78", "314"}, std::nullopt},
                    FieldsRow{"EmptyMncBlocks", {"250", "", "78", "314"}, std::nullopt},
                    FieldsRow{"EmptyLacBlocks", {"250", "1", "", "314"}, std::nullopt},
                    FieldsRow{"EmptyCellIdBlocks", {"250", "1", "78", ""}, std::nullopt},
                    FieldsRow{"SpacesCountAsFilledAndAreEncoded",
                              {"250", "1", "  ", "314"},
                              "?&cellid=314&operatorid=1&countrycode=250&lac=%20%20"},
                    FieldsRow{"AmpersandCannotAddAKey",
                              {"250", "1&lac=1", "78", "314"},
                              "?&cellid=314&operatorid=1%26lac%3D1&countrycode=250&lac=78"},
                    FieldsRow{"HashCannotCutTheQuery",
                              {"250", "1", "78", "314#x"},
                              "?&cellid=314%23x&operatorid=1&countrycode=250&lac=78"},
                    FieldsRow{"LettersAndUnicodeEncoded",
                              {"25?", "01", "7/8", "Ш"},
                              "?&cellid=%D0%A8&operatorid=01&countrycode=25%3F&lac=7%2F8"}),
    [](const auto& info) { return std::string(info.param.shows); });

TEST(MapAddress, LongitudeFirstAndValuesEncoded)
{
    EXPECT_EQ(lookup::mapAddress("https://map.test", "12.5", "34.25"),
              QStringLiteral("https://map.test/?l=map/&pt=34.25,12.5&ll=34.25,12.5&z=10"));
    EXPECT_EQ(lookup::mapAddress("https://map.test", "-1.5 ", "2&z=1"),
              QStringLiteral("https://map.test/?l=map/&pt=2%26z%3D1,-1.5%20&ll=2%26z%3D1,-1.5%20"
                             "&z=10"));
}

TEST(IsWebAddress, OnlyWellFormedHttpAndHttps)
{
    SCOPED_TRACE("accepted");
    for (const char* good : {"https://yandex.com/maps/?l=map/&pt=37.6,55.7&ll=37.6,55.7&z=10",
                             "http://127.0.0.1:8642/x?a=%20"})
        EXPECT_TRUE(lookup::isWebAddress(QString::fromUtf8(good))) << good;
    SCOPED_TRACE("refused");
    for (const char* bad :
         {"file:///etc/passwd", "javascript:alert(1)", "https:///no-host", "https://host/ space",
          "https://host/%zz", "notascheme", "ftp://host/x"})
        EXPECT_FALSE(lookup::isWebAddress(QString::fromUtf8(bad))) << bad;
}

TEST(ConfiguredBases, AreWebAddressesWithoutTrailingSlash)
{
    const lookup::BaseAddresses bases = lookup::configuredBases();
    for (const QString& base : {bases.service, bases.map}) {
        EXPECT_TRUE(lookup::isWebAddress(base)) << base.toStdString();
        EXPECT_FALSE(base.endsWith('/')) << base.toStdString();
    }
}

} // namespace
