#include "player.h"

#include "platform/textfile.h"
#include "report.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

namespace report {

namespace {

QColor colorOf(const QByteArray &params, int at) {
    const auto *p = reinterpret_cast<const uchar *>(params.constData());
    if (at + 3 > params.size()) return Qt::black;
    return QColor(p[at], p[at + 1], p[at + 2]);
}

struct Object {
    enum Kind { None, Font, Pen, Brush } kind = None;
    QFont font;
    QPen pen;
    QBrush brush;
};

// The drawing state a page's records change as they are replayed.
struct State {
    QList<Object> objects;
    QFont font = qtFont("Arial", 139);
    QPen pen{Qt::black, 0};
    QBrush brush{Qt::white};
    QColor textColor = Qt::black;
    quint16 textAlign = 0;
    QPointF position;

    int store(const Object &object) {
        for (int i = 0; i < objects.size(); ++i)
            if (objects[i].kind == Object::None) {
                objects[i] = object;
                return i;
            }
        objects << object;
        return int(objects.size()) - 1;
    }
};

Object fontObject(const wmf::Record &r) {
    const qint16 height = r.word(0);
    const int weight = r.word(4);
    const QByteArray &p = r.params;
    const bool italic = p.size() > 10 && p[10];
    const bool underline = p.size() > 11 && p[11];
    QByteArray face = p.mid(18);
    face.truncate(face.indexOf('\0') < 0 ? face.size() : face.indexOf('\0'));
    // A positive height is the cell height; the em is about 7/8 of it in the faces we map to.
    const int em = height < 0 ? -height : height * 7 / 8;
    Object o;
    o.kind = Object::Font;
    o.font = qtFont(QString::fromLatin1(face), em, weight >= 600, italic, underline);
    return o;
}

void drawText(QPainter &painter, State &s, const wmf::Record &r, const TextMark *mark) {
    const qint16 y = r.word(0), x = r.word(1), count = r.word(2);
    const quint16 options = quint16(r.word(3));
    const bool hasRect = (options & 0x00FF) != 0;
    const int textAt = hasRect ? 16 : 8;
    QByteArray bytes = r.params.mid(textAt, std::max<int>(0, count));
    while (bytes.endsWith('\0')) bytes.chop(1);
    const QString text = FixedWidth::decode(bytes);

    painter.save();
    if (hasRect && (options & wmf::Clipped)) {
        const QRectF clip(QPointF(r.word(4), r.word(5)), QPointF(r.word(6), r.word(7)));
        painter.setClipRect(clip, Qt::IntersectClip);
    }
    painter.setFont(s.font);
    painter.setPen(s.textColor);
    const QFontMetricsF fm(s.font);
    qreal left = x;
    const quint16 horizontal = s.textAlign & 6;
    if (horizontal == wmf::AlignRight) left -= fm.horizontalAdvance(text);
    else if (horizontal == wmf::AlignCenter) left -= fm.horizontalAdvance(text) / 2;
    qreal baseline = y + fm.ascent();
    const quint16 vertical = s.textAlign & 24;
    if (vertical == wmf::AlignBaseline) baseline = y;
    else if (vertical == wmf::AlignBottom) baseline = y - fm.descent();
    if (mark && !mark->text.isEmpty()) {
        for (qsizetype at = text.indexOf(mark->text, 0, mark->caseSensitivity); at >= 0;
             at = text.indexOf(mark->text, at + mark->text.size(), mark->caseSensitivity)) {
            const qreal from = left + fm.horizontalAdvance(text.left(at));
            const qreal width = fm.horizontalAdvance(text.mid(at, mark->text.size()));
            painter.fillRect(QRectF(from, baseline - fm.ascent(), width, fm.height()), mark->color);
        }
    }
    painter.drawText(QPointF(left, baseline), text);
    painter.restore();
}

} // namespace

QSizeF pageInches(const wmf::Page &page) {
    const auto &p = page.placeable;
    if (!page.ok || p.inch == 0) return {};
    return QSizeF(qreal(p.right - p.left) / p.inch, qreal(p.bottom - p.top) / p.inch);
}

bool play(QPainter &painter, const wmf::Page &page, const QRectF &target, const TextMark *mark) {
    if (!page.ok) return false;
    const auto &pl = page.placeable;
    QPointF origin(pl.left, pl.top);
    QSizeF extent(pl.right - pl.left, pl.bottom - pl.top);
    State s;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    auto applyMapping = [&] {
        if (extent.width() == 0 || extent.height() == 0) return;
        QTransform t;
        t.translate(target.left(), target.top());
        t.scale(target.width() / extent.width(), target.height() / extent.height());
        t.translate(-origin.x(), -origin.y());
        painter.setWorldTransform(t, true);
    };
    const QTransform base = painter.worldTransform();
    painter.setWorldTransform(base);
    applyMapping();

    for (const wmf::Record &r : page.records) {
        switch (r.function) {
        case wmf::SetWindowOrg:
            origin = QPointF(r.word(1), r.word(0));
            painter.setWorldTransform(base);
            applyMapping();
            break;
        case wmf::SetWindowExt:
            extent = QSizeF(r.word(1), r.word(0));
            painter.setWorldTransform(base);
            applyMapping();
            break;
        case wmf::SetTextAlign: s.textAlign = quint16(r.word(0)); break;
        case wmf::SetTextColor: s.textColor = colorOf(r.params, 0); break;
        case wmf::CreateFontIndirect: s.store(fontObject(r)); break;
        case wmf::CreatePenIndirect: {
            Object o;
            o.kind = Object::Pen;
            const int style = r.word(0);
            o.pen = style == 5 ? QPen(Qt::NoPen) : QPen(colorOf(r.params, 6), r.word(1));
            s.store(o);
            break;
        }
        case wmf::CreateBrushIndirect: {
            Object o;
            o.kind = Object::Brush;
            o.brush = r.word(0) == 1 ? QBrush(Qt::NoBrush) : QBrush(colorOf(r.params, 2));
            s.store(o);
            break;
        }
        case wmf::SelectObject: {
            const int slot = r.word(0);
            if (slot < 0 || slot >= s.objects.size()) break;
            const Object &o = s.objects[slot];
            if (o.kind == Object::Font) s.font = o.font;
            else if (o.kind == Object::Pen) s.pen = o.pen;
            else if (o.kind == Object::Brush) s.brush = o.brush;
            break;
        }
        case wmf::DeleteObject: {
            const int slot = r.word(0);
            if (slot >= 0 && slot < s.objects.size()) s.objects[slot] = {};
            break;
        }
        case wmf::MoveTo: s.position = QPointF(r.word(1), r.word(0)); break;
        case wmf::LineTo: {
            const QPointF to(r.word(1), r.word(0));
            painter.setPen(s.pen);
            painter.drawLine(s.position, to);
            s.position = to;
            break;
        }
        case wmf::Rectangle:
            painter.setPen(s.pen);
            painter.setBrush(s.brush);
            painter.drawRect(QRectF(QPointF(r.word(3), r.word(2)), QPointF(r.word(1), r.word(0))));
            break;
        case wmf::ExtTextOut:
            drawText(painter, s, r, mark);
            break;
        default: break; // records our pages do not use are skipped
        }
    }
    painter.restore();
    return true;
}

bool playFile(QPainter &painter, const QString &pageFile, const QRectF &target) {
    return play(painter, wmf::readFile(pageFile), target);
}

bool printPages(QPagedPaintDevice &device, const QStringList &pageFiles, bool sizeFromPages,
                int *unreadablePage) {
    if (unreadablePage) *unreadablePage = 0;
    if (pageFiles.isEmpty()) return false;
    // Copies repeat the same files, so each file is read once.
    QHash<QString, wmf::Page> pages;
    for (int i = 0; i < pageFiles.size(); ++i) {
        if (pages.contains(pageFiles[i])) continue;
        wmf::Page page = wmf::readFile(pageFiles[i]);
        if (!page.ok || pageInches(page).isEmpty()) {
            if (unreadablePage) *unreadablePage = i + 1;
            return false;
        }
        pages.insert(pageFiles[i], std::move(page));
    }
    if (sizeFromPages) {
        device.setPageSize(QPageSize(pageInches(pages.value(pageFiles.first())), QPageSize::Inch));
        device.setPageMargins(QMarginsF(0, 0, 0, 0));
    }
    QPainter painter;
    if (!painter.begin(&device)) return false;
    for (int i = 0; i < pageFiles.size(); ++i) {
        if (i > 0) device.newPage();
        const wmf::Page &page = pages[pageFiles[i]];
        const QSizeF inches = pageInches(page);
        play(painter, page,
             QRectF(0, 0, inches.width() * device.logicalDpiX(),
                    inches.height() * device.logicalDpiY()));
    }
    return painter.end();
}

} // namespace report
