// znList.h -- a small intrusive doubly linked list. Items carry a pointer
// to their data; the list owns its items (not the data) and the caller
// decides what happens to the data when it removes an item.

#ifndef UTIL_ZNLIST_H
#define UTIL_ZNLIST_H

#include <cstddef>

template <typename T>
class ZnList;

template <typename T>
class ZnListItem {
public:
    T* data() const { return data_; }
    ZnListItem* next() const { return next_; }
    ZnListItem* prev() const { return prev_; }

private:
    friend class ZnList<T>;
    explicit ZnListItem(T* data) : data_(data) {}
    T* data_;
    ZnListItem* next_ = nullptr;
    ZnListItem* prev_ = nullptr;
};

template <typename T>
class ZnList {
public:
    ZnList() = default;
    ZnList(const ZnList&) = delete;
    ZnList& operator=(const ZnList&) = delete;
    ~ZnList() {
        while (head_) remove(head_);
    }

    ZnListItem<T>* first() const { return head_; }
    ZnListItem<T>* last() const { return tail_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Inserts `data` after `after`; a null `after` appends at the end.
    ZnListItem<T>* addAfter(T* data, ZnListItem<T>* after = nullptr) {
        ZnListItem<T>* item = new ZnListItem<T>(data);
        if (!after) after = tail_;
        item->prev_ = after;
        item->next_ = after ? after->next_ : head_;
        if (item->next_) item->next_->prev_ = item; else tail_ = item;
        if (after) after->next_ = item; else head_ = item;
        ++size_;
        return item;
    }

    // Unlinks and deletes `item`; its data is untouched and returned.
    T* remove(ZnListItem<T>* item) {
        if (!item) return nullptr;
        if (item->prev_) item->prev_->next_ = item->next_; else head_ = item->next_;
        if (item->next_) item->next_->prev_ = item->prev_; else tail_ = item->prev_;
        T* data = item->data_;
        delete item;
        --size_;
        return data;
    }

private:
    ZnListItem<T>* head_ = nullptr;
    ZnListItem<T>* tail_ = nullptr;
    size_t size_ = 0;
};

#endif
