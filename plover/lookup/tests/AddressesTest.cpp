#include "plover/lookup/Addresses.h"

#include <gtest/gtest.h>

namespace
{

TEST(LookupAddress, FromTheFourFieldsEncodedOrNotAtAll)
{
    const QString service = QStringLiteral("http://127.0.0.1:8642");
    const struct {
        const char* shows;
        lookup::CellFields fields;
        std::optional<QString> query; // after "/cellid_location/"
    } rows[] = {
        {"worked example",
         {"250", "1", "78", "314"},
         "?&cellid=314&operatorid=1&countrycode=250&lac=78"},
        {"empty MCC blocks", {"", "1", "78", "314"}, std::nullopt},
        {"empty cell ID blocks", {"250", "1", "78", ""}, std::nullopt},
        {"spaces count as filled",
         {"250", "1", "  ", "314"},
         "?&cellid=314&operatorid=1&countrycode=250&lac=%20%20"},
        {"marks cannot add a key or cut the query",
         {"25?", "1&lac=1", "7/8", "314#Ш"},
         "?&cellid=314%23%D0%A8&operatorid=1%26lac%3D1&countrycode=25%3F&lac=7%2F8"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        const std::optional<QString> address = lookup::lookupAddress(service, row.fields);
        EXPECT_EQ(address, row.query ? service + "/cellid_location/" + *row.query : row.query);
    }
}

TEST(IsWebAddress, OnlyWellFormedHttpAndHttps)
{
    for (const char* good : {"https://yandex.com/maps/?l=map/&pt=37.6,55.7&ll=37.6,55.7&z=10",
                             "http://127.0.0.1:8642/x?a=%20"})
        EXPECT_TRUE(lookup::isWebAddress(QString::fromUtf8(good))) << good;
    for (const char* bad :
         {"file://localhost/etc/passwd", "javascript://host/%0Aalert(1)", "https:///no-host",
          "https://host/ space", "https://host/%zz", "ftp://host/x"})
        EXPECT_FALSE(lookup::isWebAddress(QString::fromUtf8(bad))) << bad;
}

TEST(BasesInEffect, TheEnvironmentReplacesEachConfiguredBase)
{
    const lookup::BaseAddresses configured{"http://127.0.0.1:8642", "https://yandex.com/maps"};
    qputenv("PLOVER_SERVICE_BASE", "http://10.0.0.2:9000/");
    qputenv("PLOVER_MAP_BASE", "");
    const lookup::BaseAddresses bases = lookup::basesInEffect(configured);
    qunsetenv("PLOVER_SERVICE_BASE");
    qunsetenv("PLOVER_MAP_BASE");
    EXPECT_EQ(bases.service, QStringLiteral("http://10.0.0.2:9000"));
    EXPECT_EQ(bases.map, configured.map) << "an empty variable changes nothing";
    EXPECT_EQ(lookup::basesInEffect(configured).service, configured.service);
}

} // namespace
