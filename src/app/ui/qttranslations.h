// SPDX-License-Identifier: MIT
// Qt's own texts (the standard buttons Yes, No, OK, Cancel, the file dialog) in the program's language:
// Debian's translations of Qt for Japanese, nothing for English, which Qt speaks already.
#pragma once

class QCoreApplication;

namespace aw {

// Installs the translation of Qt for CurrentLanguage() into `application`, which owns it from then on.
// False when the language needs one and it is not installed (the buttons stay English then).
bool LoadQtTranslations(QCoreApplication& application);

} // namespace aw
