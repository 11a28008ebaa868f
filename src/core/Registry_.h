#pragma once

#include <QString>
#include <functional>

class QWidget;

// Typed access to the settings store under the application title. The section
// "<default section>" stands for the section given to Initialize ("Settings").
namespace Registry_ {
inline const QString DefaultSection = QStringLiteral("<default section>");
inline const QString AbsentMarker = QStringLiteral("----");

// Also sets up the reader's notice of settings that cannot be written: the
// program goes on with the values it holds in memory, and the first failed write
// of a run says so (the folder and the reason); later ones are silent. A
// settings file with lines that could not be read is kept in a copy of its own
// before its first rewrite, and told with the name of its copy: at start (see
// TellDamagedSettings), else when the copy is made.
void Initialize(const QString &name);
// Tells the reader of lines of the settings file that could not be read, and
// of the copy the file goes to before it is written again; that copy, when
// made, is then not told again.
void TellDamagedSettings();
QString ResolveSection(const QString &section);

void SaveString(const QString &key, const QString &value, const QString &section = DefaultSection);
void SaveBoolean(const QString &key, bool value, const QString &section = DefaultSection);
void SaveSingle(const QString &key, float value, const QString &section = DefaultSection);
void SaveInteger(const QString &key, qint16 value, const QString &section = DefaultSection);
void SaveLong(const QString &key, qint32 value, const QString &section = DefaultSection);

QString GetString(const QString &key, const QString &defaultValue, const QString &section = DefaultSection);
bool GetBoolean(const QString &key, bool defaultValue, const QString &section = DefaultSection);
float GetSingle(const QString &key, float defaultValue, const QString &section = DefaultSection);
qint16 GetInteger(const QString &key, qint16 defaultValue, const QString &section = DefaultSection);
qint32 GetLong(const QString &key, qint32 defaultValue, const QString &section = DefaultSection);
bool ParseBoolean(const QString &text);

void DeleteSection(const QString &section);

// Runs a dialog's storing of the reader's choices. When they could not be
// written, the dialog says so itself (they hold until the program closes; the
// folder and the reason), in place of the run's notice; false then.
bool StoreChoices(const std::function<void()> &store);

// Window positions: prefix & "Left", "Top", "Width", "Height" in twips.
struct FormPosition
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};
// The stored position; a value that is missing, no number, or would not put
// the window on the desktop (a size larger than it, a corner more than its size
// away) takes its default.
FormPosition ReadFormPosition(const QString &prefix, const FormPosition &defaults);
void SaveFormPosition(const QString &prefix, QWidget *form);
bool RestoreFormPosition(const QString &prefix, QWidget *form);
} // namespace Registry_

using Registry_::GetBoolean;
using Registry_::GetInteger;
using Registry_::GetLong;
using Registry_::GetSingle;
using Registry_::GetString;
using Registry_::RestoreFormPosition;
using Registry_::SaveBoolean;
using Registry_::SaveFormPosition;
using Registry_::SaveInteger;
using Registry_::SaveSingle;
using Registry_::SaveString;
