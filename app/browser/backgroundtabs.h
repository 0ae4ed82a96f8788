// Freezes the tabs the user has not looked at for a while, so a page in the background stops using the processor.
#pragma once

#include <QObject>

#include <chrono>
#include <functional>

class Form2;

// Freezes the tabs the user has not looked at for a while, so a page in
// the background stops using the processor; discards them when memory runs
// low; brings each back when its tab is shown again.
class BackgroundTabs : public QObject
{
    Q_OBJECT

public:
    explicit BackgroundTabs(QObject *parent);

    void watch(Form2 *tab);
    // How long a tab stays hidden before it is frozen (ten minutes), and
    // how memory is judged (/proc/meminfo): tests shorten and fake them.
    void setFreezeAfter(std::chrono::milliseconds delay) { m_freezeAfter = delay; }
    void setMemoryLow(std::function<bool()> check) { m_memoryLow = std::move(check); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void settle(Form2 *tab);

    std::chrono::milliseconds m_freezeAfter;
    std::function<bool()> m_memoryLow;
};
