// Draws the window's pictures (mode buttons, panel bands, splitter buttons, icon) at 1x and 2x.
// Run: plumaret-pictures <folder>; the committed PNGs in controls/pictures come from here.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <functional>

namespace {

using Draw = std::function<void(QPainter &)>;

QString outDir;

void save(const QString &name, QSize size, const Draw &draw, bool opaque = false)
{
    for (int scale : { 1, 2 }) {
        QImage img(size * scale, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
        img.fill(opaque ? Qt::white : Qt::transparent);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            p.scale(scale, scale);
            draw(p);
        }
        const QString file
            = QDir(outDir).filePath(name + (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png")));
        if (!img.convertToFormat(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32).save(file))
            QTextStream(stderr) << "cannot write " << file << "\n";
    }
}

const QColor ink(0x2B, 0x6A, 0x9A);
const QColor inkChecked(0x0E, 0x4A, 0x78);
const QColor heart(0xE0, 0x4F, 0x6A);

enum Look { Normal, Hover, Checked };

void buttonFace(QPainter &p, Look look)
{
    if (look == Normal)
        return;
    const QRectF r(1.5, 1.5, 33, 37);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    if (look == Hover) {
        g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
        g.setColorAt(1, QColor(0xDC, 0xF0, 0xFD));
        p.setPen(QPen(QColor(0x96, 0xD1, 0xF3), 1));
    } else {
        g.setColorAt(0, QColor(0xC6, 0xE6, 0xFB));
        g.setColorAt(1, QColor(0x9C, 0xD2, 0xF4));
        p.setPen(QPen(QColor(0x4E, 0xA5, 0xDA), 1));
    }
    p.setBrush(g);
    p.drawRoundedRect(r, 4, 4);
    if (look == Checked) { // a soft inner shadow at the top
        p.setPen(QPen(QColor(0x7F, 0xBF, 0xE8, 160), 1));
        p.drawLine(QPointF(4, 2.5), QPointF(32, 2.5));
    }
}

void caption(QPainter &p, const QString &text, Look look)
{
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(10);
    f.setBold(look == Checked);
    p.setFont(f);
    p.setPen(look == Checked ? inkChecked : ink);
    p.drawText(QRectF(0, 25, 36, 13), Qt::AlignCenter, text);
}

void heartAt(QPainter &p, QPointF c, qreal s)
{
    QPainterPath h;
    h.moveTo(c.x(), c.y() + s * 0.9);
    h.cubicTo(c.x() - s * 1.4, c.y() - s * 0.1, c.x() - s * 0.6, c.y() - s * 1.1, c.x(), c.y() - s * 0.35);
    h.cubicTo(c.x() + s * 0.6, c.y() - s * 1.1, c.x() + s * 1.4, c.y() - s * 0.1, c.x(), c.y() + s * 0.9);
    p.setPen(Qt::NoPen);
    p.setBrush(heart);
    p.drawPath(h);
}

// 自动: a quill writing a line, with a small heart.
void quill(QPainter &p, Look look)
{
    const QColor c = look == Checked ? inkChecked : ink;
    QPainterPath feather;
    feather.moveTo(11, 21);
    feather.cubicTo(13, 13, 19, 6, 27, 4);
    feather.cubicTo(25, 11, 20, 17, 13, 20);
    feather.closeSubpath();
    p.setPen(QPen(c, 1.1));
    p.setBrush(QColor(0xFF, 0xFF, 0xFF, 230));
    p.drawPath(feather);
    p.drawLine(QPointF(10, 22.5), QPointF(22, 9));
    p.setPen(QPen(c, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 23), QPointF(15, 23));
    heartAt(p, QPointF(26, 17), 3.2);
}

// 模版: a letter page with a folded corner and text lines.
void page(QPainter &p, Look look)
{
    const QColor c = look == Checked ? inkChecked : ink;
    QPainterPath sheet;
    sheet.moveTo(10.5, 3.5);
    sheet.lineTo(21.5, 3.5);
    sheet.lineTo(26.5, 8.5);
    sheet.lineTo(26.5, 22.5);
    sheet.lineTo(10.5, 22.5);
    sheet.closeSubpath();
    p.setPen(QPen(c, 1.1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setBrush(QColor(0xDC, 0xEE, 0xFB));
    QPainterPath fold;
    fold.moveTo(21.5, 3.5);
    fold.lineTo(21.5, 8.5);
    fold.lineTo(26.5, 8.5);
    fold.closeSubpath();
    p.drawPath(fold);
    p.setPen(QPen(c, 1, Qt::SolidLine, Qt::RoundCap));
    for (qreal y : { 11.5, 14.5, 17.5 })
        p.drawLine(QPointF(13.5, y), QPointF(y < 12 ? 19.5 : 23.5, y));
    heartAt(p, QPointF(22, 19.6), 1.9);
}

// 组合: three phrase cards, two ticked.
void cards(QPainter &p, Look look)
{
    const QColor c = look == Checked ? inkChecked : ink;
    for (int i = 0; i < 3; ++i) {
        const qreal y = 4.5 + i * 6.5;
        p.setPen(QPen(c, 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(8.5, y, 19, 5), 1.2, 1.2);
        p.setPen(QPen(i == 1 ? QColor(0xA0, 0xB8, 0xCC) : heart, 1.2, Qt::SolidLine, Qt::RoundCap));
        if (i != 1) {
            p.drawLine(QPointF(10.3, y + 2.6), QPointF(11.5, y + 3.7));
            p.drawLine(QPointF(11.5, y + 3.7), QPointF(13.6, y + 1.2));
        } else {
            p.drawRect(QRectF(10.4, y + 1.2, 2.6, 2.6));
        }
        p.setPen(QPen(c, 1, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15.5, y + 2.5), QPointF(25, y + 2.5));
    }
}

void modeButton(const QString &name, const QString &text, void (*glyph)(QPainter &, Look))
{
    const struct
    {
        Look look;
        const char *suffix;
    } looks[] = { { Normal, "normal" }, { Hover, "hover" }, { Checked, "checked" } };
    for (const auto &l : looks) {
        save(QStringLiteral("%1_%2").arg(name, QLatin1String(l.suffix)), { 36, 40 }, [&](QPainter &p) {
            buttonFace(p, l.look);
            glyph(p, l.look);
            caption(p, text, l.look);
        });
    }
}

// Pixels of the bands are set one by one: they are stretched, so they must be exact.
void bands()
{
    for (int scale : { 1, 2 }) {
        const QString suffix = scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
        QImage names(1 * scale, 50 * scale, QImage::Format_RGB32);
        names.fill(Qt::white);
        names.save(QDir(outDir).filePath(QStringLiteral("pnlNames") + suffix));

        QImage bar(40 * scale, 1 * scale, QImage::Format_RGB32);
        const QColor from(0xF1, 0xF9, 0xFF), to(0xE5, 0xF1, 0xFA);
        for (int x = 0; x < 40 * scale; ++x) {
            const int lx = x / scale;
            QColor c = from;
            if (lx >= 38)
                c = lx == 38 ? QColor(0xF2, 0xF7, 0xFC) : QColor(0x96, 0xD1, 0xF3);
            else if (lx >= 26) {
                const qreal t = (x - 26.0 * scale) / (12.0 * scale);
                c = QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * t,
                    from.greenF() + (to.greenF() - from.greenF()) * t,
                    from.blueF() + (to.blueF() - from.blueF()) * t);
            }
            for (int y = 0; y < scale; ++y)
                bar.setPixelColor(x, y, c);
        }
        bar.save(QDir(outDir).filePath(QStringLiteral("pnlLLeft") + suffix));
    }
}

// Three 5 x 79 frames: normal, hot, pressed. Dashes down the middle, a triangle at each end.
void splitterButton(const QString &name, bool pointLeft)
{
    save(
        name, { 15, 79 },
        [&](QPainter &p) {
            for (int frame = 0; frame < 3; ++frame) {
                const QColor c = frame == 1 ? QColor(0xC2, 0xEB, 0xFA) : QColor(0xA4, 0xD5, 0xF0);
                const qreal x = frame * 5;
                p.setPen(Qt::NoPen);
                p.setBrush(c);
                for (qreal y : { 0.0, 71.0 }) {
                    QPainterPath t;
                    if (pointLeft) {
                        t.moveTo(x + 1, y + 4);
                        t.lineTo(x + 4, y + 1);
                        t.lineTo(x + 4, y + 7);
                    } else {
                        t.moveTo(x + 4, y + 4);
                        t.lineTo(x + 1, y + 1);
                        t.lineTo(x + 1, y + 7);
                    }
                    t.closeSubpath();
                    p.drawPath(t);
                }
                for (qreal y = 12; y < 67; y += 4)
                    p.drawRect(QRectF(x + 2, y, 1, 2));
            }
        },
        true);
}

void icon(int size)
{
    save(QStringLiteral("icon%1").arg(size), { size, size }, [&](QPainter &p) {
        p.scale(size / 32.0, size / 32.0);
        QLinearGradient g(0, 6, 0, 28);
        g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
        g.setColorAt(1, QColor(0xD6, 0xEC, 0xFB));
        p.setBrush(g);
        p.setPen(QPen(QColor(0x4E, 0xA5, 0xDA), 1.2));
        p.drawRoundedRect(QRectF(2.5, 7.5, 27, 19), 2, 2);
        p.setBrush(Qt::NoBrush);
        QPainterPath flap;
        flap.moveTo(3, 8.5);
        flap.lineTo(16, 19);
        flap.lineTo(29, 8.5);
        p.drawPath(flap);
        heartAt(p, QPointF(16, 18.5), 4.2);
    });
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: plumaret-pictures FOLDER\n";
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    modeButton(QStringLiteral("btnAuto"), QStringLiteral("自动"), quill);
    modeButton(QStringLiteral("btnTemplate"), QStringLiteral("模版"), page);
    modeButton(QStringLiteral("btnGroup"), QStringLiteral("组合"), cards);
    bands();
    splitterButton(QStringLiteral("SplitterMin"), true);
    splitterButton(QStringLiteral("SplitterMax"), false);
    icon(32);
    icon(128);
    return 0;
}
