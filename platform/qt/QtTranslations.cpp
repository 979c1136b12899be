#include "platform/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include "platform/core/Translation.h"

QString TCatalogTranslator::translate(const char* Context, const char* SourceText,
                                      const char* Disambiguation, int) const {
  // Qt's texts that differ only by disambiguation are not in the catalog.
  if (!Context || !SourceText || (Disambiguation && *Disambiguation)) return {};
  const char* Text = TrContext(Context, SourceText);
  return Text ? QString::fromUtf8(Text) : QString();
}

void InstallQtTranslations(QObject* Owner) {
  // Installed last, asked first; a translator leaves the application as it is destroyed.
  auto* Catalog = new TCatalogTranslator(Owner);
  QCoreApplication::installTranslator(Catalog);
  auto* Debian = new QTranslator(Owner);
  if (Debian->load(QLocale(), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(Debian);
  else
    delete Debian;
}
