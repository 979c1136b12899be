// Qt's own texts that the windows show (the message boxes' buttons, the edit boxes' menus) in the
// user's language: Debian's Qt translations (qt6-translations-l10n) where they hold the
// language, else the program's catalog, whose template takes them from po/QtTexts.pot. Debian's
// Qt translations have no Thai.
#pragma once

#include <QTranslator>

// Looks Qt's texts up in the program's catalog, by Qt's context ("QPlatformTheme", "OK").
class TCatalogTranslator final : public QTranslator {
 public:
  using QTranslator::QTranslator;
  QString translate(const char* Context, const char* SourceText, const char* Disambiguation,
                    int N) const override;
  bool isEmpty() const override { return false; }
};

// Installs both in the running application for the life of Owner; Qt asks Debian's first.
void InstallQtTranslations(QObject* Owner);
