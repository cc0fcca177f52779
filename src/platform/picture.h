#pragma once

#include <QImage>

#include <memory>

namespace vorarid {

// A reference to one decoded picture, or to none.
//
// Copies share the picture object; pixels are never copied. Two pictures are
// the same when they refer to the same object or are both empty, which is how
// the game tells tiles apart and finds the blank: two tiles that happen to look
// alike are still different pictures.
class Picture {
public:
    Picture() = default;  // the empty picture
    explicit Picture(QImage image)
        : object_(std::make_shared<const QImage>(std::move(image))) {}

    bool isEmpty() const { return object_ == nullptr; }
    // The pixels, or nullptr for the empty picture.
    const QImage* image() const { return object_.get(); }

    friend bool same(const Picture& a, const Picture& b) { return a.object_ == b.object_; }

private:
    std::shared_ptr<const QImage> object_;
};

}  // namespace vorarid
