#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace cocos2d {

// A vector of reference-counted objects that holds one reference to each element.
template <class T>
class Vector {
public:
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    Vector() = default;
    Vector(const Vector& other) : _data(other._data) { retainAll(); }
    Vector(Vector&& other) noexcept : _data(std::move(other._data)) {}
    Vector& operator=(const Vector& other) {
        if (this != &other) {
            Vector copy(other);
            swap(copy);
        }
        return *this;
    }
    Vector& operator=(Vector&& other) noexcept {
        if (this != &other) {
            clear();
            _data = std::move(other._data);
        }
        return *this;
    }
    ~Vector() { clear(); }

    void pushBack(T object) {
        object->retain();
        _data.push_back(object);
    }
    void insert(size_t index, T object) {
        object->retain();
        _data.insert(_data.begin() + static_cast<std::ptrdiff_t>(index), object);
    }
    void popBack() {
        T last = _data.back();
        _data.pop_back();
        last->release();
    }
    void eraseObject(T object) {
        auto it = std::find(_data.begin(), _data.end(), object);
        if (it != _data.end()) {
            _data.erase(it);
            object->release();
        }
    }
    void erase(size_t index) {
        T object = _data[index];
        _data.erase(_data.begin() + static_cast<std::ptrdiff_t>(index));
        object->release();
    }
    void replace(size_t index, T object) {
        object->retain();
        _data[index]->release();
        _data[index] = object;
    }
    void clear() {
        std::vector<T> old;
        old.swap(_data);
        for (T object : old) {
            object->release();
        }
    }
    void reserve(size_t n) { _data.reserve(n); }
    void swap(Vector& other) { _data.swap(other._data); }

    T at(size_t index) const { return _data.at(index); }
    T front() const { return _data.front(); }
    T back() const { return _data.back(); }
    size_t size() const { return _data.size(); }
    bool empty() const { return _data.empty(); }
    bool contains(T object) const {
        return std::find(_data.begin(), _data.end(), object) != _data.end();
    }
    long getIndex(T object) const {
        auto it = std::find(_data.begin(), _data.end(), object);
        return it == _data.end() ? -1 : static_cast<long>(it - _data.begin());
    }

    iterator begin() { return _data.begin(); }
    iterator end() { return _data.end(); }
    const_iterator begin() const { return _data.begin(); }
    const_iterator end() const { return _data.end(); }
    // Stable reordering (children by z-order); the references stay as they are.
    template <class Compare>
    void stableSort(Compare compare) {
        std::stable_sort(_data.begin(), _data.end(), compare);
    }

private:
    void retainAll() {
        for (T object : _data) {
            object->retain();
        }
    }

    std::vector<T> _data;
};

}  // namespace cocos2d
