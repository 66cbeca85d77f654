#pragma once
// Image lists, toolbars with keyed buttons, and status bars.
//
// Collections are reached by position (1-based, as the original's) or by key; a missing key
// or position is run-time error 35601, a key used twice 35602.

#include "core/picture.h"
#include "ui_collection.h"
#include "ui_control.h"

#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

class QToolBar;
class QAction;
class QStatusBar;
class QLabel;

namespace rt {

// ---- Image lists ----

class ListImage {
public:
    int Index() const { return index_; }
    const QString& Key() const { return key_; }
    const rt::Picture& Picture() const { return picture_; }
    // The image as an icon picture (a new picture object).
    rt::Picture ExtractIcon() const;
    QString Tag;

private:
    friend class ImageList;
    int index_ = 0;
    QString key_;
    rt::Picture picture_;
};

class ImageList : public Control {
public:
    explicit ImageList(Container& parent, const QString& name = {}, int index = -1);

    class ImageCollection {
    public:
        // Adds an image at index (1-based; default the end) under a key ("" for none).
        ListImage& Add(std::optional<int> index, const QString& key, const rt::Picture& picture);
        ListImage& operator()(int index) const;
        ListImage& operator()(const QString& key) const;
        bool contains(const QString& key) const;
        int Count() const { return int(items_.size()); }
        void Clear();
        void Remove(int index);
        void Remove(const QString& key);

    private:
        friend class ImageList;
        // Numbers the images from position `from` (0-based) to the end.
        void renumber(size_t from);
        ImageList* owner_ = nullptr;
        KeyedItems<ListImage> items_;
    };

    ImageCollection& ListImages() { return images_; }
    const ImageCollection& ListImages() const { return images_; }
    int ImageWidth() const { return imageWidth_; }
    int ImageHeight() const { return imageHeight_; }
    void setImageWidth(int px) { imageWidth_ = px; }
    void setImageHeight(int px) { imageHeight_ = px; }
    // With UseMaskColor, pixels of MaskColor become transparent in added images.
    bool UseMaskColor() const { return useMaskColor_; }
    void setUseMaskColor(bool on) { useMaskColor_ = on; }
    OleColor MaskColor() const { return maskColor_; }
    void setMaskColor(OleColor c) { maskColor_ = c; }

    // An image by key (a QString) or 1-based position (an int), or nullptr.
    const ListImage* find(const QVariant& keyOrIndex) const;

private:
    ImageCollection images_;
    int imageWidth_ = 0, imageHeight_ = 0;
    bool useMaskColor_ = false;
    OleColor maskColor_ = RGB(192, 192, 192);
};

// ---- Toolbars ----

enum ButtonStyle : int {
    tbrDefault = 0,
    tbrCheck = 1,
    tbrButtonGroup = 2, // adjacent group buttons: pressing one releases the others
    tbrSeparator = 3,
    tbrPlaceholder = 4, // an empty gap
};

class Toolbar;

class ToolbarButton {
public:
    int Index() const { return index_; }
    const QString& Key() const { return key_; }
    int Style() const { return style_; }
    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption);
    // The image's key (a QString) or 1-based position (an int) in the toolbar's image list.
    const QVariant& Image() const { return image_; }
    void setImage(const QVariant& keyOrIndex);
    // 0 released, 1 pressed. Setting it raises nothing; pressing a group button releases
    // the others of its group.
    int Value() const { return value_; }
    void setValue(int value);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool Visible() const { return visible_; }
    void setVisible(bool on);
    const QString& ToolTipText() const { return toolTip_; }
    void setToolTipText(const QString& text);
    const QString& Description() const { return description_; }
    void setDescription(const QString& text) { description_ = text; }
    QString Tag;

private:
    friend class Toolbar;
    Toolbar* owner_ = nullptr;
    int index_ = 0;
    QString key_;
    int style_ = tbrDefault;
    QString caption_;
    QVariant image_;
    int value_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    QString toolTip_;
    QString description_;
    QAction* action_ = nullptr;
    // The pictures the action's icon was made of, so that a push that changes neither leaves
    // the icon alone instead of making it again.
    rt::Picture iconPicture_, iconDisabledPicture_;
    bool iconMade_ = false;
};

class Toolbar : public Control {
public:
    explicit Toolbar(Container& parent, const QString& name = {}, int index = -1);

    class ButtonCollection {
    public:
        ToolbarButton& Add(std::optional<int> index = {}, const QString& key = {},
                           const QString& caption = {}, int style = tbrDefault,
                           const QVariant& image = {});
        ToolbarButton& operator()(int index) const;
        ToolbarButton& operator()(const QString& key) const;
        int Count() const { return int(items_.size()); }
        void Clear();
        void Remove(int index);
        void Remove(const QString& key);

    private:
        friend class Toolbar;
        Toolbar* owner_ = nullptr;
        std::vector<std::unique_ptr<ToolbarButton>> items_;
    };

    // The original's Buttons collection: TbMain.Buttons("m01"), TbMain.Buttons(3).
    ButtonCollection& Buttons() { return buttons_; }
    ToolbarButton& Buttons(const QString& key) { return buttons_(key); }
    ToolbarButton& Buttons(int index) { return buttons_(index); }

    rt::ImageList* ImageList() const { return imageList_; }
    void setImageList(rt::ImageList* list);
    rt::ImageList* DisabledImageList() const { return disabledImageList_; }
    void setDisabledImageList(rt::ImageList* list);
    bool ShowTips() const { return showTips_; }
    void setShowTips(bool on);
    bool Wrappable() const { return wrappable_; }
    void setWrappable(bool on) { wrappable_ = on; }
    bool AllowCustomize() const { return allowCustomize_; }
    void setAllowCustomize(bool on) { allowCustomize_ = on; }

    std::function<void(ToolbarButton& Button)> onButtonClick;

    // The user clicked a button.
    void userClick(ToolbarButton& button);
    // Internal: a button changed.
    void buttonChanged(ToolbarButton& button);
    void rebuild();

private:
    // Makes the action of a button that has none, before `before` (nullptr: at the end).
    void makeAction(ToolbarButton& b, QAction* before);
    // Makes the action of a button just added, in its place among the others.
    void insertAction(ToolbarButton& b);
    void fitHeight();
    void pushButton(ToolbarButton& b);
    void pushAll();
    void releaseGroupOf(ToolbarButton& b);
    // The pictures of a button's icon, normal and greyed: none without an image list or an
    // image of that key or index.
    std::pair<rt::Picture, rt::Picture> iconPicturesFor(const ToolbarButton& b) const;
    // Gives the action of a button the icon of its pictures, when they changed since.
    void pushIcon(ToolbarButton& b);

    ButtonCollection buttons_;
    rt::ImageList* imageList_ = nullptr;
    rt::ImageList* disabledImageList_ = nullptr;
    bool showTips_ = true, wrappable_ = true, allowCustomize_ = true;
    QToolBar* bar_;
};

// ---- Status bars ----

enum StatusBarStyle : int { sbrNormal = 0, sbrSimple = 1 };

class StatusBar : public Control {
public:
    explicit StatusBar(Container& parent, const QString& name = {}, int index = -1);

    class Panel {
    public:
        int Index() const { return index_; }
        const QString& Key() const { return key_; }
        const QString& Text() const { return text_; }
        void setText(const QString& text);
        int Width() const { return width_; }
        void setWidth(int twips);

    private:
        friend class StatusBar;
        StatusBar* owner_ = nullptr;
        int index_ = 0;
        QString key_;
        QString text_;
        int width_ = 1440;
        QLabel* label_ = nullptr;
    };

    Panel& AddPanel(std::optional<int> index = {}, const QString& key = {},
                    const QString& text = {});
    Panel& Panels(int index) const;
    Panel& Panels(const QString& key) const;
    int PanelCount() const { return int(panels_.size()); }
    int Style() const { return style_; }
    void setStyle(int style);
    const QString& SimpleText() const { return simpleText_; }
    void setSimpleText(const QString& text);

private:
    void rebuild();
    std::vector<std::unique_ptr<Panel>> panels_;
    int style_ = sbrNormal;
    QString simpleText_;
    QStatusBar* bar_;
};

} // namespace rt
