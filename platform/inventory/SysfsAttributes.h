#pragma once

#include <QString>

// Reading sysfs the way every part of the device list does.

// The first line of a sysfs attribute, trimmed; "" when it is missing or cannot be read.
QString readAttribute(const QString& directory, const QString& name);

// Walks up from `start` (inclusive) to the first directory holding `attribute`, staying below
// `rootPrefix` (the root with a trailing slash); "" when there is none.
QString ancestorWith(const QString& start, const char* attribute, const QString& rootPrefix);

// A USB device at this plug-in: its directory name (its place on the bus) and the address the
// bus gave it, "1-8.4#7". The address changes at the next plug-in, so an answer about the
// stick is not carried over to whatever is plugged into the same socket later.
QString usbPlugIn(const QString& usbDeviceDir);

// The canonical path of `root` with a trailing slash, for ancestorWith.
QString rootPrefixOf(const QString& root);
