#include "app/settings/mdlcommondialog.h"
#include "app/settings/mdlcommondialogreset.h"

#include "platform/filedialogservice.h"
#include "platform/nulterminated.h"

namespace mdlCommonDialog {

namespace {
// Like the dialog record's filter index, it survives from one call to the next.
int g_filterIndex = 0;
} // namespace

QString TrimAtNul(const QString &text)
{
    return NulTerminated::cut(text);
}

QString OpenFileDialog(QWidget *owner, const QString &filter, const QString &title, quint32 flags)
{
    FileDialogService::OpenRequest request;
    request.owner = owner;
    request.title = title;
    request.flags = flags;
    const QStringList parts = filter.split(QChar(u'\0'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts.at(i).isEmpty())
            request.filters.append({parts.at(i), parts.at(i + 1)});
    }
    request.selectedFilter = g_filterIndex > 0 ? g_filterIndex - 1 : 0;

    const auto result = FileDialogService::getOpenFileName(request);
    if (!result.accepted)
        return {};
    if (result.selectedFilter >= 0)
        g_filterIndex = result.selectedFilter + 1;
    // Unlike the fixed 255-character buffer this stands in for, a long path
    // comes back whole rather than failing the call.
    return TrimAtNul(result.path);
}

int lastFilterIndex()
{
    return g_filterIndex;
}

void resetForTests()
{
    g_filterIndex = 0;
}

} // namespace mdlCommonDialog
