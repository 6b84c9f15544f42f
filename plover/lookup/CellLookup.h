#pragma once

#include "plover/lookup/Addresses.h"

#include <QObject>
#include <functional>

class MessageSink;
class PageLoader;
class QUrl;
class UrlOpener;

namespace lookup
{

// The values the window keeps between the steps of a lookup. Unset values are empty text.
struct LookupValues {
    QString lookupAddress; // the request last sent to the page loader
    QString pageText;      // the text of the last completed page
    QString firstValue;    // the first quoted value after "coordinates" (latitude) of this page
    QString secondValue;   // the second one (longitude)
    QString mapAddress;    // the address handed to the browser
};

// The title of every message box of the locator.
inline const QString AppTitle = QStringLiteral("plover");
inline const QString IdMissingMessage = QStringLiteral("ID does not exist");
inline const QString TooLargeMessage = QStringLiteral("The service's reply is too large");

// The cell lookup of the locator window: the click on "MAP" sends the request, web1 reads the
// completed page and web2 opens the map. It holds no widgets; the window hands it the fields
// and forwards the loader's signals to it.
class CellLookup
{
public:
    // Listens to the opener for maps it could not open, as long as the lookup lives.
    CellLookup(BaseAddresses bases, PageLoader& loader, UrlOpener& opener, MessageSink& messages);
    ~CellLookup();
    CellLookup(const CellLookup&) = delete;
    CellLookup& operator=(const CellLookup&) = delete;

    // The click on "MAP": sends the request for these fields; does nothing when one is empty.
    void click(const CellFields& fields);
    // A page arrived: "ID does not exist" when it holds "error" or lacks "coordinates", with the
    // reason the service gave when it gave one; else its coordinates go to web2, but only when
    // each is empty or a decimal number of at most 32 characters within -90..90 (latitude) and
    // -180..180 (longitude): anything else is "ID does not exist" with what was wrong.
    void web1();
    // Opens the map in the user's browser and clears the values of this lookup. When no browser
    // opens it, now or a few seconds later, the user is given the address to open by hand.
    void web2();
    // The loader got no page at all, or one cut short: the user is told why, where the service
    // was looked for and how to start it.
    void serviceUnreachable(const QString& reason);
    // The reply outgrew the loader's limit: the user is told; nothing opens.
    void replyTooLarge();

    const LookupValues& values() const { return values_; }

    // Told the cell's position when a reply gave a valid one, just before its map opens.
    std::function<void(double latitude, double longitude)> placed;

private:
    void takeCoordinates();
    void mapNotOpened(const QUrl& map, const QString& reason);

    BaseAddresses bases_;
    PageLoader& loader_;
    UrlOpener& opener_;
    MessageSink& messages_;
    LookupValues values_;
    QMetaObject::Connection notOpened_;
};

} // namespace lookup
