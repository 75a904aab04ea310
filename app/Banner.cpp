#include "Banner.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>

namespace Banner {
QPixmap loginBanner(const QSize& size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor(0x1F, 0x4E, 0x79));
    g.setColorAt(1, QColor(0x5B, 0x9B, 0xD5));
    p.fillRect(pm.rect(), g);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPointSize(20);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pm.rect().adjusted(24, 0, 0, -size.height() / 4), Qt::AlignLeft | Qt::AlignVCenter, QCoreApplication::translate("Banner", "revozi 系统管理"));
    f.setPointSize(10);
    f.setBold(false);
    p.setFont(f);
    p.drawText(pm.rect().adjusted(26, size.height() / 3, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, QCoreApplication::translate("Banner", "账套 · 操作员 · 权限 · 备份"));
    return pm;
}

QPixmap sidePicture(const QSize& size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(0xDE, 0xEB, 0xF7));
    g.setColorAt(1, QColor(0xF7, 0xFB, 0xFF));
    p.fillRect(pm.rect(), g);
    p.setPen(QColor(0x1F, 0x4E, 0x79));
    for (int i = 0; i < 4; ++i)
        p.drawRect(12 + i * 10, size.height() - 30 - i * 18, 8, 18 + i * 18);
    return pm;
}
}
