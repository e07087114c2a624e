// The unhandled-exception reports of the running test, collected by the test main.
#pragma once

#include "framework/dispatch.h"

#include <QStringList>

QStringList& Reports();
