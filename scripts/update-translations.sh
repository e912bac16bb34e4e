#!/usr/bin/env bash
# Refreshes the viewer's translation sources from the code (qt6-l10n-tools). The source texts are the
# Russian captions the viewer shows by default, the English texts of later commands and the library's
# built-in English texts (context TkvLibraryText, src/base/library_texts.cpp); kvviewer_en.ts
# translates the Russian ones, kvviewer_ru.ts the English ones. Translations already made are kept.
set -euo pipefail
cd "$(dirname "$0")/.."
LUPDATE=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
# Tr() is the files' shorthand for QCoreApplication::translate with the file's context.
"$LUPDATE" -silent -locations none -tr-function-alias tr+=Tr src/viewer src/preview src/app \
  src/base/library_texts.cpp \
  -ts translations/kvviewer_en.ts translations/kvviewer_ru.ts
