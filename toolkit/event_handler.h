// A routine together with the object that is passed to it as its first argument.
#pragma once

template <typename Result, typename... Args>
struct EventHandler
{
    using Routine = Result (*)(void* owner, Args... args);

    Routine routine = nullptr;
    void* owner = nullptr;

    explicit operator bool() const { return routine != nullptr; }
    Result operator()(Args... args) const { return routine(owner, args...); }
    void Clear()
    {
        routine = nullptr;
        owner = nullptr;
    }
};

namespace detail {
template <auto Fn>
struct HandlerThunk;

template <typename Result, typename Owner, typename... Args, Result (*Fn)(Owner*, Args...)>
struct HandlerThunk<Fn>
{
    static Result Call(void* owner, Args... args) { return Fn(static_cast<Owner*>(owner), args...); }
    using Handler = EventHandler<Result, Args...>;
};
} // namespace detail

// Makes a handler from a function whose first parameter is the typed owner:
//   BindHandler<&OnControlMessage>(appState)
template <auto Fn, typename Owner>
typename detail::HandlerThunk<Fn>::Handler BindHandler(Owner* owner)
{
    typename detail::HandlerThunk<Fn>::Handler handler;
    handler.routine = &detail::HandlerThunk<Fn>::Call;
    handler.owner = owner;
    return handler;
}
