#pragma once

#include <QString>

namespace wordloom::testing_support {

// Saves a PNG of every form into Directory; 0 when all were written.
int SaveScreenshots(const QString& Directory);

}  // namespace wordloom::testing_support
