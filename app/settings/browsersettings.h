// The browser's settings in the registry, one typed getter and setter per value.
#pragma once

#include <QObject>
#include <QString>

// The values under the program's settings key: each is read where it is
// needed (another process may have changed it), trimmed and defaulted here
// only, and written here only; a write that changes a value says so.
class BrowserSettings : public QObject
{
    Q_OBJECT

public:
    enum class Value { HomePage, LoadBack, PopupStop, AskDownload, DownloadFolder, KeepPageText };

    // The one object whose changed() the program listens to.
    static BrowserSettings &instance();

    // The home page address, trimmed; empty when none is set.
    static QString homePage();
    // 1: new tabs open behind the one in front.
    static int loadBack();
    // Pop-up stop on ("AllowPopup" is 1).
    static bool popupStop();
    // Whether a download asks where to save: on unless "AskDownload" is 0.
    static bool askDownload();
    // The folder downloads go to without asking, trimmed; empty: the system's.
    static QString downloadFolder();
    // Whether the text of favorites' pages is kept to find them by:
    // on unless "KeepPageText" is 0.
    static bool keepPageText();

    void setHomePage(const QString &address);
    void setLoadBack(int value);
    void setPopupStop(bool on);
    void setAskDownload(bool ask);
    void setDownloadFolder(const QString &folder);
    void setKeepPageText(bool keep);

    // The rule of "AskDownload" on its stored text.
    static bool asksWhereToSave(const QString &storedValue);

signals:
    void changed(BrowserSettings::Value value);

private:
    BrowserSettings() = default;
    void write(Value value, const QString &name, const QString &text);
};
