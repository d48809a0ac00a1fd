#pragma once
// The headers nearly every ordering test needs.
#include "ordering/bestellserverobj.h"
#include "ordering/modbestelldbserverobj.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

using namespace Qt::StringLiterals;
