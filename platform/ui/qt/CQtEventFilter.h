#pragma once
// An event filter given as a function: TRUE from it consumes the event.

#include <QObject>
#include <functional>

class CQtEventFilter : public QObject {
 public:
  using Filter = std::function<bool(QObject* pWatched, QEvent* pEvent)>;

  CQtEventFilter(QObject* pParent, Filter filter) : QObject(pParent), m_filter(std::move(filter)) {}

  bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
    return m_filter(pWatched, pEvent);
  }

 private:
  Filter m_filter;
};
