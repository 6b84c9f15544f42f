// The locator's window, with its real page loader, asking a cell service that serves the
// sample export on 127.0.0.1: the same road as "MAP" against `cellsvc serve`.
#include "geodesy/Geodesy.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/web/NetworkPageLoader.h"
#include "plover/CompassRose.h"
#include "plover/Form1.h"
#include "plover/RoseWindow.h"
#include "tests/end_to_end/SampleCellService.h"
#include "tests/support/TestApp.h"

#include <QGraphicsEllipseItem>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
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

// With a place typed in, "MAP" on the sample's Moscow cell also tells the way to it and draws
// the operator's cells around the place: the service's answer matches the cells worked out here
// from the same positions, and a click on a point opens that cell's map.
TEST(LocatorAsksCellService, WithAPlaceTheWayAndTheCellsAroundItShow)
{
    WidgetApp app;
    SampleCellService service;
    FakeFileDialog dialog;
    NetworkPageLoader loader;
    NetworkPageLoader nearby;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    Form1 form(dialog, loader, opener, messages, {service.base(), "https://map.test"});
    form.setNearbyLoader(nearby);
    form.openIdFile(CELLSVC_SAMPLE_ID_FILE);
    QTest::keyClicks(form.TxtPlace, "55.7, 37.5");
    QTest::keyClick(form.TxtPlace, Qt::Key_Return);
    ASSERT_EQ(form.userPlace(), (place::Place{55.7, 37.5}));
    form.Command1_Click();
    ASSERT_TRUE(waitUntil([&] { return form.roseWindow() && form.roseWindow()->isVisible(); }))
        << form.LblWay->toolTip().toStdString();
    EXPECT_EQ(lookupOutcomes(opener, messages).size(), 1) << "the cell's own map";

    // Cell 314 lies at 55.7558, 37.6173 with a range of 1.2 km.
    const geodesy::Position from{55.7, 37.5};
    const geodesy::Position cell{55.7558, 37.6173};
    EXPECT_EQ(form.LblWay->text(), place::wayText(geodesy::distanceKm(from, cell),
                                                  geodesy::initialBearingDeg(from, cell), 1200));
    const CompassRose& rose = *form.roseWindow()->Rose;
    ASSERT_GE(rose.cells().size(), 20);
    ASSERT_TRUE(rose.servingIndex());
    EXPECT_EQ(rose.cells()[*rose.servingIndex()].cellid, "314");
    for (qsizetype i = 0; i < rose.cells().size(); ++i) {
        const place::NearbyCell& near = rose.cells()[i];
        const geodesy::Position at{near.latitude, near.longitude};
        EXPECT_NEAR(near.distanceKm, geodesy::distanceKm(from, at), 0.001)
            << near.cellid.toStdString();
        EXPECT_LE(near.distanceKm, place::kRoseRadiusKm);
        if (i > 0) {
            EXPECT_GE(near.distanceKm, rose.cells()[i - 1].distanceKm) << "nearest first";
        }
        // North up: a cell to the east lies right of the place, one to the north above it.
        const QPointF p = rose.points()[i]->pos();
        EXPECT_NEAR(std::hypot(p.x(), p.y()), near.distanceKm, 1e-9);
        EXPECT_EQ(p.x() > 0.01, near.longitude > 37.5 + 0.001);
    }

    QGraphicsEllipseItem* point = rose.points().first();
    QTest::mouseClick(rose.viewport(), Qt::LeftButton, {}, rose.mapFromScene(point->scenePos()));
    const place::NearbyCell& clicked = rose.cells().first();
    EXPECT_TRUE(form.roseWindow()->LblPicked->text().contains(" cell " + clicked.cellid + ","));
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_TRUE(
        opener.opened.first().toString().contains(QString::number(clicked.longitude, 'f', 5) + "," +
                                                  QString::number(clicked.latitude, 'f', 5)));
}

} // namespace
