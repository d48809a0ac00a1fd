#pragma once

#include <QtGlobal>
#include <memory>
#include <utility>
#include <vector>

// A list that owns its items, the base of the "...ObjectList" classes: items are created by
// the caller, handed over, and freed with the list or when removed. Iteration yields T&.
// Copying a list copies its items (records holding lists stay copyable for editing).
template <typename T> class TOwningList
{
public:
    TOwningList() = default;
    TOwningList(const TOwningList &other) { other.AppendCopiesTo(*this); }
    TOwningList &operator=(const TOwningList &other)
    {
        if (this != &other) {
            TOwningList copy(other);
            m_items.swap(copy.m_items);
        }
        return *this;
    }
    TOwningList(TOwningList &&) noexcept = default;
    TOwningList &operator=(TOwningList &&) noexcept = default;
    virtual ~TOwningList() = default;

    qsizetype Count() const { return qsizetype(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    // Takes ownership; returns the new index.
    qsizetype Add(std::unique_ptr<T> item)
    {
        m_items.push_back(std::move(item));
        return Count() - 1;
    }
    T &Add(T value)
    {
        m_items.push_back(std::make_unique<T>(std::move(value)));
        return *m_items.back();
    }
    void Insert(qsizetype index, std::unique_ptr<T> item)
    {
        m_items.insert(m_items.begin() + index, std::move(item));
    }
    T &Item(qsizetype index) { return *m_items.at(size_t(index)); }
    const T &Item(qsizetype index) const { return *m_items.at(size_t(index)); }
    T &operator[](qsizetype index) { return Item(index); }
    const T &operator[](qsizetype index) const { return Item(index); }
    // The last item, or null when the list is empty.
    T *Last() { return m_items.empty() ? nullptr : m_items.back().get(); }
    const T *Last() const { return m_items.empty() ? nullptr : m_items.back().get(); }
    void Delete(qsizetype index) { m_items.erase(m_items.begin() + index); }
    // Hands an item back to the caller without freeing it.
    std::unique_ptr<T> Extract(qsizetype index)
    {
        std::unique_ptr<T> item = std::move(m_items.at(size_t(index)));
        m_items.erase(m_items.begin() + index);
        return item;
    }
    void Clear() { m_items.clear(); }
    // Appends deep copies of all items to another list.
    void AppendCopiesTo(TOwningList &other) const
    {
        for (const auto &item : m_items)
            other.m_items.push_back(std::make_unique<T>(*item));
    }

    template <typename It, typename V> class Iter
    {
    public:
        explicit Iter(It it) : m_it(it) {}
        V &operator*() const { return **m_it; }
        V *operator->() const { return m_it->get(); }
        Iter &operator++()
        {
            ++m_it;
            return *this;
        }
        bool operator==(const Iter &o) const { return m_it == o.m_it; }

    private:
        It m_it;
    };
    using iterator = Iter<typename std::vector<std::unique_ptr<T>>::iterator, T>;
    using const_iterator = Iter<typename std::vector<std::unique_ptr<T>>::const_iterator, const T>;
    iterator begin() { return iterator(m_items.begin()); }
    iterator end() { return iterator(m_items.end()); }
    const_iterator begin() const { return const_iterator(m_items.begin()); }
    const_iterator end() const { return const_iterator(m_items.end()); }

private:
    std::vector<std::unique_ptr<T>> m_items;
};
