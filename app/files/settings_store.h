#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "common/file_read.h"

class QSettings;

namespace kivra::app {

// The per-user store of the three values LASTFILE, LANGUAGE and COMPORT under the key
// KIVRA3 inside Software. A missing or empty value reads as its default, which is then
// written back, so a first run leaves every value it read in the store.
class SettingsStore {
 public:
  // The current user's store: the registry key on Windows, Qt's per-user settings file
  // elsewhere (~/.config/Software/KIVRA3.conf on Linux).
  static std::unique_ptr<SettingsStore> ForCurrentUser();
  // A store kept in one INI file, for tests and portable set-ups.
  static std::unique_ptr<SettingsStore> InFile(const QString& path);

  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  QString ReadSetting(const QString& name, const QString& fallback);
  // Whether `name` holds a value: before a first read writes its default.
  bool Holds(const QString& name) const;
  void WriteSetting(const QString& name, const QString& text);

  // When the settings file is no file the settings can be in (a FIFO, a device, a folder, a
  // file far larger than settings are), it is neither read nor written: the store keeps its
  // values for this run only, and this says which file and why.
  struct Refusal {
    QString path;
    FileReadError error;
  };
  const std::optional<Refusal>& Refused() const { return refused_; }

 private:
  explicit SettingsStore(std::unique_ptr<QSettings> settings);
  // Checks `path` first; the QSettings is made only when the file may be read.
  static std::unique_ptr<SettingsStore> Checked(const QString& path,
                                                const std::function<QSettings*()>& make);
  std::unique_ptr<QSettings> settings_;
  QHash<QString, QString> thisRunOnly_;
  std::optional<Refusal> refused_;
};

// COMPORT is the port selection's (link::kComPortSetting).
namespace setting {
inline const QString kLastFile = QStringLiteral("LASTFILE");
inline const QString kLanguage = QStringLiteral("LANGUAGE");
// The main window's size, place and maximised state when it was last closed, as Qt
// encodes them (base64).
inline const QString kWindow = QStringLiteral("WINDOW");
}  // namespace setting

}  // namespace kivra::app
