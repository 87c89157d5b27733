// History of parameter records: snapshots append a copy of the last record,
// a commit collapses the history onto the current record.
#ifndef ORVOCHART_BASE_UNDO_H
#define ORVOCHART_BASE_UNDO_H

#include <stdexcept>
#include <vector>

namespace GenChartLib {

template <class T>
class UnDo {
  public:
    UnDo() : history_(1) {}
    virtual ~UnDo() = default;
    UnDo(const UnDo&) = default;
    UnDo& operator=(const UnDo&) = default;

    // The record all operations act on; an index outside the history raises
    // the standard out-of-range error.
    T& current() { return at(current_); }
    const T& current() const { return history_[checked(current_)]; }
    // The record before the current one (current() when there is none).
    T& previous() { return at(current_ == 0 ? 0 : current_ - 1); }
    unsigned currentIndex() const { return current_; }
    std::size_t size() const { return history_.size(); }
    T& at(unsigned index) { return history_[checked(index)]; }

    // Appends a copy of the last record and makes it current.
    void snapshot() {
        if (!history_.empty()) {
            history_.push_back(history_.back());
            ++current_;
        }
    }
    // The current record becomes the only one.
    void commit() {
        T kept = current();
        history_.assign(1, std::move(kept));
        current_ = 0;
    }
    // Drops everything after the first record.
    void collapseToFirst() {
        history_.resize(1);
        current_ = 0;
    }

  private:
    std::size_t checked(unsigned index) const {
        if (index >= history_.size()) {
            throw std::out_of_range("invalid vector<T> subscript");
        }
        return index;
    }

    std::vector<T> history_;
    unsigned current_ = 0;
};

}  // namespace GenChartLib

#endif  // ORVOCHART_BASE_UNDO_H
