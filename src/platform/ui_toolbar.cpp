#include "ui_toolbar.h"

#include "core/rt_error.h"
#include "ui_collection.h"
#include "ui_dispatch.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace rt {

// ---- Image lists ----

rt::Picture ListImage::ExtractIcon() const {
    return rt::Picture::fromImage(picture_.image());
}

ImageList::ImageList(Container& parent, const QString& name, int index)
    : Control(ControlKind::ImageList, parent, name, index) {
    images_.owner_ = this;
}

ListImage& ImageList::ImageCollection::Add(std::optional<int> index, const QString& key,
                                           const rt::Picture& picture) {
    const size_t at = items_.insertPosition(index, key);
    if (picture.isEmpty()) rt::raise(ErrInvalidPicture);
    auto item = std::make_unique<ListImage>();
    item->key_ = key;
    QImage img = picture.image();
    if (owner_->useMaskColor_) {
        img = img.convertToFormat(QImage::Format_ARGB32);
        const QRgb mask = ToQColor(owner_->maskColor_).rgb() & 0xFFFFFF;
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if ((line[x] & 0xFFFFFF) == mask) line[x] = 0;
        }
        item->picture_ = rt::Picture::fromImage(img);
    } else {
        item->picture_ = picture;
    }
    if (owner_->imageWidth_ == 0) {
        owner_->imageWidth_ = img.width();
        owner_->imageHeight_ = img.height();
    }
    ListImage& ref = items_.insert(at, std::move(item));
    renumber(at);
    return ref;
}

void ImageList::ImageCollection::renumber(size_t from) {
    for (size_t i = from; i < items_.size(); ++i)
        items_[i].index_ = int(i) + 1;
}

ListImage& ImageList::ImageCollection::operator()(int index) const {
    return items_.at(index);
}

ListImage& ImageList::ImageCollection::operator()(const QString& key) const {
    return items_.byKey(key);
}

bool ImageList::ImageCollection::contains(const QString& key) const {
    return items_.find(key) != nullptr;
}

void ImageList::ImageCollection::Clear() {
    items_.clear();
}

void ImageList::ImageCollection::Remove(int index) {
    (*this)(index);
    items_.take(size_t(index - 1));
    renumber(size_t(index - 1));
}

void ImageList::ImageCollection::Remove(const QString& key) {
    Remove((*this)(key).Index());
}

const ListImage* ImageList::find(const QVariant& keyOrIndex) const {
    if (!keyOrIndex.isValid()) return nullptr;
    if (keyOrIndex.typeId() == QMetaType::QString) {
        const QString key = keyOrIndex.toString();
        return key.isEmpty() ? nullptr : images_.items_.find(key);
    }
    const int i = keyOrIndex.toInt();
    if (i < 1 || i > images_.Count()) return nullptr;
    return &images_(i);
}

// ---- Toolbar buttons ----

void ToolbarButton::setCaption(const QString& caption) {
    caption_ = caption;
    if (owner_) owner_->buttonChanged(*this);
}

void ToolbarButton::setImage(const QVariant& keyOrIndex) {
    image_ = keyOrIndex;
    if (owner_) owner_->buttonChanged(*this);
}

void ToolbarButton::setValue(int value) {
    if (value != 0 && value != 1) rt::raise(ErrInvalidProperty);
    value_ = value;
    if (owner_) owner_->buttonChanged(*this);
}

void ToolbarButton::setEnabled(bool on) {
    enabled_ = on;
    if (owner_) owner_->buttonChanged(*this);
}

void ToolbarButton::setVisible(bool on) {
    visible_ = on;
    if (owner_) owner_->buttonChanged(*this);
}

void ToolbarButton::setToolTipText(const QString& text) {
    toolTip_ = text;
    if (owner_) owner_->buttonChanged(*this);
}

ToolbarButton& Toolbar::ButtonCollection::Add(std::optional<int> index, const QString& key,
                                              const QString& caption, int style,
                                              const QVariant& image) {
    const size_t at = InsertPosition(items_, index, key);
    if (style < tbrDefault || style > tbrPlaceholder) rt::raise(ErrInvalidProperty);
    auto b = std::make_unique<ToolbarButton>();
    b->owner_ = owner_;
    b->key_ = key;
    b->caption_ = caption;
    b->style_ = style;
    b->image_ = image;
    ToolbarButton& ref = *b;
    items_.insert(items_.begin() + at, std::move(b));
    for (size_t i = 0; i < items_.size(); ++i)
        items_[i]->index_ = int(i) + 1;
    // Only the new button's action is made: the others stay as they are.
    owner_->insertAction(ref);
    return ref;
}

ToolbarButton& Toolbar::ButtonCollection::operator()(int index) const {
    return ItemAt(items_, index);
}

ToolbarButton& Toolbar::ButtonCollection::operator()(const QString& key) const {
    return ItemByKey(items_, key);
}

void Toolbar::ButtonCollection::Clear() {
    items_.clear();
    owner_->rebuild();
}

void Toolbar::ButtonCollection::Remove(int index) {
    (*this)(index);
    items_.erase(items_.begin() + (index - 1));
    for (size_t i = 0; i < items_.size(); ++i)
        items_[i]->index_ = int(i) + 1;
    owner_->rebuild();
}

void Toolbar::ButtonCollection::Remove(const QString& key) {
    Remove((*this)(key).Index());
}

// ---- Toolbar ----

Toolbar::Toolbar(Container& parent, const QString& name, int index)
    : Control(ControlKind::Toolbar, parent, name, index) {
    buttons_.owner_ = this;
    bar_ = new QToolBar;
    bar_->setMovable(false);
    bar_->setFloatable(false);
    bar_->setIconSize(QSize(16, 16));
    bar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    attachWidget(bar_);
    setGeometryTwips(0, 0, Width(), PixelsToTwips(bar_->sizeHint().height()));
    setAlign(vbAlignTop);
}

// The pictures and tips are the buttons' own: a change of them is pushed to each button.
void Toolbar::setImageList(rt::ImageList* list) {
    imageList_ = list;
    pushAll();
}

void Toolbar::setDisabledImageList(rt::ImageList* list) {
    disabledImageList_ = list;
    pushAll();
}

void Toolbar::setShowTips(bool on) {
    showTips_ = on;
    pushAll();
}

std::pair<rt::Picture, rt::Picture> Toolbar::iconPicturesFor(const ToolbarButton& b) const {
    if (!imageList_) return {};
    const ListImage* img = imageList_->find(b.image_);
    if (!img) return {};
    // The greyed look stands at the same position of the disabled list.
    if (disabledImageList_ && img->Index() <= disabledImageList_->ListImages().Count())
        return {img->Picture(), disabledImageList_->ListImages()(img->Index()).Picture()};
    return {img->Picture(), rt::Picture()};
}

void Toolbar::pushIcon(ToolbarButton& b) {
    auto [normal, greyed] = iconPicturesFor(b);
    if (b.iconMade_ && normal.sameObject(b.iconPicture_) &&
        greyed.sameObject(b.iconDisabledPicture_))
        return;
    QIcon icon;
    if (normal.hasObject()) {
        icon.addPixmap(QPixmap::fromImage(normal.image()), QIcon::Normal);
        if (greyed.hasObject()) icon.addPixmap(QPixmap::fromImage(greyed.image()), QIcon::Disabled);
    }
    b.action_->setIcon(icon);
    b.iconPicture_ = std::move(normal);
    b.iconDisabledPicture_ = std::move(greyed);
    b.iconMade_ = true;
}

void Toolbar::rebuild() {
    pushing_ = true;
    const auto old = bar_->actions();
    bar_->clear();
    qDeleteAll(old);
    for (const auto& bp : buttons_.items_)
        makeAction(*bp, nullptr);
    pushing_ = false;
    fitHeight();
}

void Toolbar::insertAction(ToolbarButton& b) {
    // Before the action of the first button after it.
    QAction* before = nullptr;
    for (size_t i = size_t(b.index_); i < buttons_.items_.size() && !before; ++i)
        before = buttons_.items_[i]->action_;
    pushing_ = true;
    makeAction(b, before);
    pushing_ = false;
    fitHeight();
}

void Toolbar::makeAction(ToolbarButton& b, QAction* before) {
    if (b.style_ == tbrSeparator) {
        b.action_ = bar_->insertSeparator(before);
    } else if (b.style_ == tbrPlaceholder) {
        auto* gap = new QWidget;
        gap->setFixedSize(8, 8);
        b.action_ = bar_->insertWidget(before, gap);
    } else {
        b.action_ = new QAction(b.caption_, bar_);
        b.iconMade_ = false;
        bar_->insertAction(before, b.action_);
        ToolbarButton* raw = &b;
        QObject::connect(b.action_, &QAction::triggered, this, [this, raw] {
            if (!pushing_) dispatch([&] { userClick(*raw); });
        });
    }
    pushButton(b);
    if (QWidget* w = bar_->widgetForAction(b.action_)) addEventSource(w);
}

void Toolbar::fitHeight() {
    // A toolbar along an edge of its form is as high as its buttons.
    if (Align() == vbAlignTop || Align() == vbAlignBottom)
        setHeight(PixelsToTwips(bar_->sizeHint().height()));
}

void Toolbar::pushAll() {
    for (const auto& bp : buttons_.items_)
        pushButton(*bp);
}

void Toolbar::pushButton(ToolbarButton& b) {
    if (!b.action_) return;
    const bool was = pushing_;
    pushing_ = true;
    b.action_->setVisible(b.visible_);
    if (b.style_ != tbrSeparator && b.style_ != tbrPlaceholder) {
        b.action_->setText(b.caption_);
        pushIcon(b);
        b.action_->setEnabled(b.enabled_);
        b.action_->setToolTip(showTips_ ? b.toolTip_ : QString());
        b.action_->setCheckable(b.style_ == tbrCheck || b.style_ == tbrButtonGroup);
        b.action_->setChecked(b.value_ == 1);
        if (auto* tb = qobject_cast<QToolButton*>(bar_->widgetForAction(b.action_))) {
            tb->setToolButtonStyle(b.caption_.isEmpty() ? Qt::ToolButtonIconOnly
                                                        : Qt::ToolButtonTextUnderIcon);
            // A button that shows only its picture is named by its tip, whether tips show or
            // not; one with a caption by the caption.
            const QString name = b.caption_.isEmpty() ? b.toolTip_ : QString();
            if (tb->accessibleName() != name) tb->setAccessibleName(name);
        }
    }
    pushing_ = was;
}

void Toolbar::releaseGroupOf(ToolbarButton& b) {
    if (b.style_ != tbrButtonGroup) return;
    auto& items = buttons_.items_;
    const int at = b.index_ - 1;
    for (int dir : {-1, 1})
        for (int i = at + dir; i >= 0 && i < int(items.size()); i += dir) {
            ToolbarButton& o = *items[size_t(i)];
            if (o.style_ != tbrButtonGroup) break;
            if (o.value_ != 0) {
                o.value_ = 0;
                pushButton(o);
            }
        }
}

void Toolbar::buttonChanged(ToolbarButton& b) {
    if (b.value_ == 1) releaseGroupOf(b);
    pushButton(b);
}

void Toolbar::userClick(ToolbarButton& b) {
    if (!b.enabled_) return;
    if (b.style_ == tbrCheck)
        b.value_ = b.value_ ? 0 : 1;
    else if (b.style_ == tbrButtonGroup)
        b.value_ = 1;
    buttonChanged(b);
    if (onButtonClick) onButtonClick(b);
}

// ---- Status bar ----

void StatusBar::Panel::setText(const QString& text) {
    text_ = text;
    if (label_) label_->setText(text);
}

void StatusBar::Panel::setWidth(int twips) {
    width_ = twips;
    if (label_) label_->setMinimumWidth(TwipsToPixels(twips));
}

StatusBar::StatusBar(Container& parent, const QString& name, int index)
    : Control(ControlKind::StatusBar, parent, name, index) {
    bar_ = new QStatusBar;
    bar_->setSizeGripEnabled(false);
    attachWidget(bar_);
    setGeometryTwips(0, 0, Width(), PixelsToTwips(bar_->sizeHint().height() + 4));
    setAlign(vbAlignBottom);
    AddPanel();
}

StatusBar::Panel& StatusBar::AddPanel(std::optional<int> index, const QString& key,
                                      const QString& text) {
    const size_t at = InsertPosition(panels_, index, key);
    auto p = std::make_unique<Panel>();
    p->owner_ = this;
    p->key_ = key;
    p->text_ = text;
    Panel& ref = *p;
    panels_.insert(panels_.begin() + at, std::move(p));
    rebuild();
    return ref;
}

StatusBar::Panel& StatusBar::Panels(int index) const {
    return ItemAt(panels_, index);
}

StatusBar::Panel& StatusBar::Panels(const QString& key) const {
    return ItemByKey(panels_, key);
}

void StatusBar::setStyle(int style) {
    if (style != sbrNormal && style != sbrSimple) rt::raise(ErrInvalidProperty);
    style_ = style;
    rebuild();
}

void StatusBar::setSimpleText(const QString& text) {
    simpleText_ = text;
    if (style_ == sbrSimple) bar_->showMessage(text);
}

void StatusBar::rebuild() {
    for (auto& p : panels_) {
        if (p->label_) {
            bar_->removeWidget(p->label_);
            delete p->label_;
            p->label_ = nullptr;
        }
    }
    for (size_t i = 0; i < panels_.size(); ++i)
        panels_[i]->index_ = int(i) + 1;
    if (style_ == sbrSimple) {
        bar_->showMessage(simpleText_);
        return;
    }
    bar_->clearMessage();
    for (auto& p : panels_) {
        p->label_ = new QLabel(p->text_);
        p->label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        p->label_->setMinimumWidth(TwipsToPixels(p->width_));
        bar_->addWidget(p->label_);
    }
}

} // namespace rt
