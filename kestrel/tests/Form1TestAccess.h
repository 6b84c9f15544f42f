#pragma once

#include "kestrel/Form1.h"

// Sets what the polling cycle keeps in the main window, for tests of the handlers that read it.
struct Form1TestAccess {
    static void setOperatorText(Form1& window, const QString& text)
    {
        window.m_operatorText = text;
    }
};
