// The locator's window, with its real page loader, asking a cell service that serves the
// sample export on 127.0.0.1: the same road as "MAP" against `cellsvc serve`.
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/web/NetworkPageLoader.h"
#include "plover/Form1.h"
#include "tests/end_to_end/SampleCellService.h"
#include "tests/support/TestApp.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace
{

TEST(LocatorAsksCellService, AKnownCellOpensTheMapAndTheServiceSaysWhyAnotherDoesNotExist)
{
    WidgetApp app;
    SampleCellService service;
    FakeFileDialog dialog;
    NetworkPageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    Form1 form(dialog, loader, opener, messages, {service.base(), "https://map.test"});
    form.Txtmcc->setText("250");
    form.Txtmnc->setText("1");
    form.Txtlac->setText("78");
    // The sample holds cell 314 at latitude 55.7558, longitude 37.6173; the map takes longitude
    // first.
    for (const auto& [cellid, outcome] :
         {std::pair{"314",
                    "https://map.test/?l=map/&pt=37.61730,55.75580&ll=37.61730,55.75580&z=10"},
          {"999999", "plover: ID does not exist (the cell is not in the database)"}}) {
        form.Txtcellid->setText(cellid);
        form.Command1_Click();
        EXPECT_EQ(lookupOutcomes(opener, messages), QStringList{outcome});
    }
    form.Txtlac->setText("4E"); // the service says why it refuses a hexadecimal LAC
    form.Command1_Click();
    EXPECT_EQ(lookupOutcomes(opener, messages),
              QStringList{"plover: ID does not exist (the value of lac (the area code (LAC)) is "
                          "not a decimal number)"});
}

} // namespace
