#pragma once

#include <QObject>
#include <QUrl>

// Hands an address to the desktop's default web browser. Whether a browser took it may be known
// only after open() has returned, so a failure is reported by notOpened, on the owner's thread.
class UrlOpener : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~UrlOpener() override = default;

    // Starts opening `url` and returns at once, without waiting for any browser.
    virtual void open(const QUrl& url) = 0;

signals:
    // `url` was not opened, and `reason` says why. It may come from within open(), when the
    // address is refused or nothing can be asked to open it at all.
    void notOpened(const QUrl& url, const QString& reason);
};
