#pragma once

#include <QByteArrayView>
#include <QImage>

#include <memory>

namespace vorarid {

// A reference to one picture, or to none.
//
// Copies share the picture object; pixels are never copied. Two pictures are
// the same when they refer to the same object or are both empty, which is how
// the game tells tiles apart and finds the blank: two tiles that happen to look
// alike are still different pictures.
//
// A picture is either decoded already or kept as its file (a JPEG, say),
// which is decoded the first time its pixels are asked for, once for every
// copy.
class Picture {
public:
    Picture() = default;  // the empty picture
    explicit Picture(QImage image) : object_(std::make_shared<Object>(Object{std::move(image), {}})) {}
    // The file's bytes must outlive the picture and its copies.
    static Picture fromFile(QByteArrayView file) {
        Picture picture;
        picture.object_ = std::make_shared<Object>(Object{QImage(), file});
        return picture;
    }

    bool isEmpty() const { return object_ == nullptr; }
    // The pixels, or nullptr for the empty picture. A file that does not
    // decode gives a null image: drawn as nothing, still this picture.
    const QImage* image() const {
        if (!object_) return nullptr;
        if (object_->image.isNull() && !object_->file.isEmpty()) {
            object_->image = QImage::fromData(object_->file);
            object_->file = {};
        }
        return &object_->image;
    }
    // Whether the pixels have been decoded yet.
    bool decoded() const { return object_ && object_->file.isEmpty(); }

    friend bool same(const Picture& a, const Picture& b) { return a.object_ == b.object_; }

private:
    struct Object {
        QImage image;
        QByteArrayView file;  // until decoded
    };
    std::shared_ptr<Object> object_;
};

}  // namespace vorarid
