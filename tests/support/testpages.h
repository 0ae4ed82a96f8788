#pragma once

#include <QByteArray>

// Pages the test server hands out.
namespace TestPages {

inline QByteArray page(const char *title, const QByteArray &body = {})
{
    return "<html><head><title>" + QByteArray(title) + "</title></head><body>" + body + "</body></html>";
}

} // namespace TestPages
