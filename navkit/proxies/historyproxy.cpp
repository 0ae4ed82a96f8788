#include "navkit/proxies/historyproxy.h"

#include "platform/componentfactory.h"

#include <QMetaObject>
#include <QObject>

namespace {
template <typename... Args> bool callBool(QObject *o, const char *method, Args &&...args)
{
    bool result = false;
    return o
        && QMetaObject::invokeMethod(o, method, Qt::DirectConnection, Q_RETURN_ARG(bool, result),
                                     std::forward<Args>(args)...)
        && result;
}
} // namespace

HistoryProxy HistoryProxy::create(QObject *parent)
{
    return HistoryProxy(ComponentFactory::create(QStringLiteral("QuillonHelper.clsHistory"), parent));
}

bool HistoryProxy::AddURL(const QString &url, const QString &title, quint32 flags)
{
    return callBool(m_object, "AddURL", Q_ARG(QString, url), Q_ARG(QString, title), Q_ARG(quint32, flags));
}

int HistoryProxy::Count() const
{
    return m_object ? m_object->property("Count").toInt() : 0;
}

bool HistoryProxy::Clear()
{
    return callBool(m_object, "Clear");
}

bool HistoryProxy::Refresh(const QString &urlStartsWith, quint32 flags)
{
    return callBool(m_object, "Refresh", Q_ARG(QString, urlStartsWith), Q_ARG(quint32, flags));
}

HistoryItemProxy HistoryProxy::Item(int index) const
{
    QObject *item = nullptr;
    if (m_object)
        QMetaObject::invokeMethod(m_object, "Item", Qt::DirectConnection, Q_RETURN_ARG(QObject *, item),
                                  Q_ARG(int, index));
    return HistoryItemProxy(item);
}

bool HistoryProxy::Remove(int index)
{
    return callBool(m_object, "Remove", Q_ARG(int, index));
}

bool HistoryProxy::DeleteURL(const QString &url, quint32 flags)
{
    return callBool(m_object, "DeleteURL", Q_ARG(QString, url), Q_ARG(quint32, flags));
}
