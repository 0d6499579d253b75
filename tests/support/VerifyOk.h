#pragma once

#include "store/Result.h"

#include <QTest>

// Fails the test function with the failure's own text when `result` holds one.
#define VERIFY_OK(result)                                                                                              \
    do {                                                                                                               \
        const auto &verifyOk_ = (result);                                                                              \
        QVERIFY2(verifyOk_.ok(), qPrintable(verifyOk_.error()));                                                       \
    } while (false)
