#include "base/UserDefaults.h"

#include <algorithm>

namespace kestrune {

template <typename T>
std::optional<T> UserDefaults::typed(const QString& key) const
{
    const std::optional<DefaultsValue> v = value(key);
    if (!v)
        return std::nullopt;
    if (std::holds_alternative<T>(*v))
        return std::get<T>(*v);
    noticeWrongType(key);
    return std::nullopt;
}

std::optional<bool> UserDefaults::boolValue(const QString& key) const { return typed<bool>(key); }
std::optional<QString> UserDefaults::stringValue(const QString& key) const { return typed<QString>(key); }
std::optional<QByteArray> UserDefaults::dataValue(const QString& key) const { return typed<QByteArray>(key); }

void UserDefaults::setLoadProblem(const DefaultsProblem& problem) const
{
    if (loadProblem_ == problem)
        return;
    loadProblem_ = problem;
    if (problemObserver_)
        problemObserver_();
}

bool UserDefaults::markWrongType(const QString& key, const QString& location) const
{
    if (wrongTypeKeys_.contains(key))
        return false;
    wrongTypeKeys_.insert(key);
    // A file that could not be read whole already says more than this.
    if (loadProblem_.kind == DefaultsProblem::Kind::none)
        setLoadProblem({DefaultsProblem::Kind::wrongType, location, {}, key, 0});
    return true;
}

void UserDefaults::clearWrongType(const QString& key) const
{
    wrongTypeKeys_.remove(key);
    if (loadProblem_.kind == DefaultsProblem::Kind::wrongType && loadProblem_.key == key)
        setLoadProblem({});
}

void UserDefaults::setSaveProblem(const DefaultsProblem& problem) const
{
    if (saveProblem_ == problem)
        return;
    saveProblem_ = problem;
    if (problemObserver_)
        problemObserver_();
}

std::optional<DefaultsValue> MemoryDefaults::value(const QString& key) const
{
    auto it = std::find_if(values_.begin(), values_.end(), [&](const auto& p) { return p.first == key; });
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

void MemoryDefaults::setValue(const QString& key, const DefaultsValue& value)
{
    auto it = std::find_if(values_.begin(), values_.end(), [&](const auto& p) { return p.first == key; });
    if (it == values_.end())
        values_.emplace_back(key, value);
    else
        it->second = value;
}

void MemoryDefaults::removeValue(const QString& key)
{
    std::erase_if(values_, [&](const auto& p) { return p.first == key; });
}

} // namespace kestrune
