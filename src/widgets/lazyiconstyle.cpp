// SPDX-License-Identifier: GPL-3.0-or-later
#include "lazyiconstyle.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>

namespace {

class DeferredStandardIcon final : public QIconEngine {
public:
    DeferredStandardIcon(QStyle* style, QStyle::StandardPixmap which)
        : m_style(style)
        , m_which(which)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("DeferredStandardIcon"); }
    QIconEngine* clone() const override { return new DeferredStandardIcon(*this); }

private:
    QIcon& icon()
    {
        if (!m_resolved) {
            m_resolved = true;
            // The style may be gone when an icon outlives the application's style.
            if (m_style)
                m_icon = m_style->standardIcon(m_which);
        }
        return m_icon;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    bool m_resolved = false;
    QIcon m_icon;
};

} // namespace

LazyIconStyle::LazyIconStyle(QStyle* base)
    : QProxyStyle(base)
{
}

QIcon LazyIconStyle::standardIcon(
    StandardPixmap standardIcon, const QStyleOption*, const QWidget*) const
{
    return QIcon(new DeferredStandardIcon(baseStyle(), standardIcon));
}
