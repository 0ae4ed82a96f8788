// One tabbed document window of a DockFrame.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class DockFrame;
class QIcon;
class QWidget;

// One tabbed document window of a DockFrame. Its key is assigned by the
// frame; its position is 1-based and follows the tab order.
class DocumentWindow : public QObject
{
    Q_OBJECT

public:
    DocumentWindow(DockFrame *frame, QString key, QWidget *page);

    QString key() const { return m_key; }
    // The tab label's text for a caption.
    static QString labelText(const QString &caption);
    int position() const; // -1 once closed
    QString caption() const;
    // The tooltip shows toolTip, or the caption when that is empty.
    void setCaption(const QString &caption, const QString &toolTip = {});
    // The icon on the tab (a private tab's mark).
    void setIcon(const QIcon &icon);
    QIcon icon() const;
    // The whole name of the tab's page (its caption is cut to 15 characters).
    QString toolTip() const;
    // Clearing the shown flag asks to close the tab; the closing event may
    // refuse, and the flag then still reads true.
    bool shown() const;
    void setShown(bool shown);
    QWidget *hostedForm() const { return m_form; }
    void setHostedForm(QWidget *form);
    bool secondFlag() const { return m_secondFlag; }
    void setSecondFlag(bool on) { m_secondFlag = on; }
    void activate();
    void release(); // the frame forgets the window after it closed

    QWidget *page() const { return m_page; }

private:
    DockFrame *m_frame;
    QString m_key;
    QPointer<QWidget> m_page; // the tab's container
    QPointer<QWidget> m_form;
    bool m_secondFlag = false;
};
