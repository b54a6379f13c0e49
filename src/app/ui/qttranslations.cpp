// SPDX-License-Identifier: MIT
#include "app/ui/qttranslations.h"

#include <memory>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "stringtable.h"

namespace aw {

bool LoadQtTranslations(QCoreApplication& application) {
    if (CurrentLanguage() != Language::Japanese)
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qt_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    translator->setParent(&application); // the application owns it from here on
    QCoreApplication::installTranslator(translator.release());
    return true;
}

} // namespace aw
