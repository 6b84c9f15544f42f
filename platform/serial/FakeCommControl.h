#pragma once

#include "platform/serial/CommControl.h"

#include <QStringList>
#include <deque>

// A serial port for tests: reads return a given list of texts in turn (then empty text), writes
// are recorded. Opening succeeds unless the number is listed in failingPorts.
class FakeCommControl : public CommControl
{
public:
    std::deque<std::optional<QString>> scriptedReads; // nullopt: a failed read
    QStringList written;                              // every Output, in order
    QList<qint16> failingPorts;
    int readCount = 0;
    int openCount = 0;
    QString settings;
    bool lost = false; // set by a test: the device went away; cleared by the next opening

    bool setCommPort(qint16 number) override
    {
        if (open_ || number < 0) {
            return fail("cannot set port");
        }
        port_ = number;
        devicePath.clear();
        return true;
    }
    qint16 CommPort() const override { return port_; }
    QString devicePath; // as setDevicePath named it
    bool setDevicePath(const QString& path) override
    {
        if (open_) {
            return fail("cannot set port");
        }
        devicePath = path;
        return true;
    }
    bool setSettings(const QString& s) override
    {
        settings = s;
        return true;
    }
    bool setHandshaking(int) override { return true; }
    bool setInputLen(int) override { return true; }
    bool setPortOpen(bool open) override
    {
        if (!open) {
            const bool wasOpen = open_;
            open_ = false;
            return wasOpen || fail("port not open");
        }
        if (open_ || failingPorts.contains(port_)) {
            return fail("cannot open port");
        }
        open_ = true;
        lost = false;
        ++openCount;
        return true;
    }
    bool PortOpen() const override { return open_; }
    bool setOutput(const QString& text) override
    {
        if (!open_ || lost) {
            return fail("port not open");
        }
        written << text;
        return true;
    }
    std::optional<QString> Input() override
    {
        ++readCount;
        if (lost) {
            return std::nullopt;
        }
        if (scriptedReads.empty()) {
            return QString();
        }
        if (!scriptedReads.front().has_value()) {
            scriptedReads.pop_front();
            return std::nullopt;
        }
        QString text = *scriptedReads.front();
        scriptedReads.pop_front();
        return text;
    }
    bool deviceLost() const override { return lost; }
    void clearFailures() override { failed_ = false; }
    bool anyFailed() const override { return failed_; }
    QString lastFailure() const override { return lastFailure_; }

private:
    bool fail(const QString& why)
    {
        failed_ = true;
        lastFailure_ = why;
        return false;
    }
    qint16 port_ = 1;
    bool open_ = false;
    bool failed_ = false;
    QString lastFailure_;
};
