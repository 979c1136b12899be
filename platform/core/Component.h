// Component base: ownership, names, loading/designing state, removal notifications, and the
// per-class table of published properties that stored window definitions are read and written
// through.
//
// Declaring a component class:
//
//   class TTimer : public TComponent {
//    public:
//     explicit TTimer(TComponent* AOwner);
//     static const TClassInfo& StaticClassInfo();
//     const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
//     bool Enabled() const; void SetEnabled(bool Value);
//     int Interval() const; void SetInterval(int Value);
//     TNotifyEvent OnTimer;
//   };
//
//   const TClassInfo& TTimer::StaticClassInfo() {
//     static const TClassInfo Info = TClassBuilder<TTimer>("TTimer", TComponent::StaticClassInfo())
//         .Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
//         .Int("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000)
//         .Event("OnTimer", &TTimer::OnTimer)
//         .Build();
//     return Info;
//   }
//
// and RegisterClass(TTimer::StaticClassInfo()) in the library's registration function (static
// self-registration would be dropped by the linker). Getters and setters may be member functions
// or non-generic lambdas taking (const T&) and (T&, Value); sub-properties are flat dotted names
// such as "Font.Name". A form publishes its event handlers with Method("btnGoClick",
// &TfrmMain::btnGoClick); definitions bind `OnClick = btnGoClick` to them by name.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "platform/core/Colors.h"
#include "platform/core/Exceptions.h"

class TComponent;

// Thrown for invalid component operations (duplicate or malformed names, wrong property types).
class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

using TBytes = std::vector<std::uint8_t>;
using TStringList = std::vector<std::string>;

// A published event handler as stored: its name (for the writer) and the bound code.
struct TMethod {
  std::string Name;
  std::any Code;  // std::function<Sig> bound to the root component that published it
};

// An event field of a component. Name is empty for handlers assigned in code.
template <class Sig>
class TEvent {
 public:
  std::string Name;
  std::function<Sig> Code;

  TEvent& operator=(std::function<Sig> F) {
    Name.clear();
    Code = std::move(F);
    return *this;
  }
  explicit operator bool() const { return static_cast<bool>(Code); }
  template <class... A>
  decltype(auto) operator()(A&&... Args) const {
    return Code(std::forward<A>(Args)...);
  }
};

using TNotifyEvent = TEvent<void(TComponent* Sender)>;

enum class TPropKind {
  Integer,    // std::int64_t
  Real,       // double
  String,     // std::string, UTF-8
  Boolean,    // bool
  Enum,       // std::int64_t ordinal into EnumNames
  Set,        // std::int64_t bit mask over EnumNames (bit i = EnumNames[i])
  Colour,     // std::int64_t holding a TColor; written by name when it has one
  Component,  // TComponent*; written as a name, resolved after the whole tree is read
  Picture,    // std::string: file name under resources/
  Binary,     // TBytes handed to the component's own read/write hooks; written as hex
  Strings,    // TStringList, written as ( 'a' 'b' )
  Event,      // TMethod
};

using TPropValue = std::variant<std::int64_t, double, bool, std::string, TStringList, TComponent*,
                                TBytes, TMethod>;

// True when two values of one property are equal (events compare by handler name).
bool SameValue(const TPropValue& A, const TPropValue& B);

struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::Integer;
  TPropValue Default;
  bool AlwaysStored = false;
  std::vector<std::string> EnumNames;  // Enum and Set kinds
  std::function<TPropValue(const TComponent&)> Get;
  std::function<void(TComponent&, const TPropValue&)> Set;
  std::function<bool(const TComponent&)> Stored;  // empty: stored when not the default
};

inline TPropInfo MakeProp(std::string Name, TPropKind Kind, TPropValue Default,
                          std::vector<std::string> EnumNames = {}) {
  TPropInfo P;
  P.Name = std::move(Name);
  P.Kind = Kind;
  P.Default = std::move(Default);
  P.EnumNames = std::move(EnumNames);
  return P;
}

// A published handler: binds the named member function of a root component.
struct TMethodInfo {
  std::string Name;
  std::function<std::any(TComponent& Self)> Bind;  // yields std::function<Sig>
};

class TClassInfo {
 public:
  using TFactory = std::function<TComponent*(TComponent* AOwner)>;

  std::string ClassName;
  const TClassInfo* Parent = nullptr;
  TFactory Factory;  // empty for abstract classes
  std::vector<TPropInfo> Props;
  std::vector<TMethodInfo> Methods;

  // Case-insensitive lookups through this class and its ancestors.
  const TPropInfo* FindProp(std::string_view Name) const;
  const TMethodInfo* FindMethod(std::string_view Name) const;
  bool InheritsFrom(const TClassInfo& Other) const;
  // Every property, ancestors' first; a redeclared name keeps its first place, latest entry.
  std::vector<const TPropInfo*> AllProps() const;
};

// Class registry used by the definitions reader; names are case-insensitive.
void RegisterClass(const TClassInfo& Info);
const TClassInfo* FindClass(std::string_view ClassName);
// Registers TComponent's own class; each library has a function like this for its classes.
void RegisterCoreClasses();

enum TOperation { opInsert, opRemove };

class TComponent {
 public:
  explicit TComponent(TComponent* AOwner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  static const TClassInfo& StaticClassInfo();
  virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
  const std::string& ClassName() const { return ClassInfo().ClassName; }

  const std::string& Name() const { return FName; }
  // Empty, or an identifier unique (case-insensitively) among the owner's components.
  void SetName(const std::string& AName);
  int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const { return FComponents.at(Index); }
  TComponent* FindComponent(std::string_view AName) const;
  void InsertComponent(TComponent* AComponent);  // takes ownership (leaves any former owner)
  void RemoveComponent(TComponent* AComponent);  // gives up ownership without destroying
  // Destroys every owned component now; derived destructors call it when owned components
  // must go before the derived part (e.g. child widgets before their parent window).
  void DestroyComponents();

  bool Loading() const { return FLoading; }
  bool Designing() const { return FDesigning; }
  bool Destroying() const { return FDestroying; }
  void SetDesigning(bool Value);  // for this component and all it owns
  void BeginLoad() { FLoading = true; }
  void EndLoad();  // clears loading, then calls Loaded()

  // Asks for Notification(AComponent, opRemove) when AComponent is destroyed (and vice versa).
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Nesting in stored definitions: a nested object is owned by the definition's root and gets
  // its enclosing object as parent component (controls inside a panel, page or form).
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* AParent);  // default: ignored (non-visual)
  // The components written nested inside this one. Default: for the root, the owned
  // components that have no parent.
  virtual void GetChildren(const std::function<void(TComponent*)>& Proc,
                           const TComponent* Root) const;

  // Published property access by name (case-insensitive); EComponentError when unknown.
  TPropValue GetPropValue(std::string_view PropName) const;
  void SetPropValue(std::string_view PropName, const TPropValue& Value);

 protected:
  // Called once the stored properties are set; reading code calls EndLoad for every component.
  virtual void Loaded() {}
  // opRemove: AComponent is being destroyed; clear any reference to it. opInsert: AComponent
  // was just given an owner (from its constructor: only its TComponent part is built yet).
  // The base version forwards both to the owned components, and they to theirs, so siblings
  // hear of each other and a form's components of what goes into the application.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Stores a component reference and keeps its removal notification in step.
  template <class C>
  void SetReference(C*& Field, C* Value) {
    if (Field == Value) return;
    if (Field) RemoveFreeNotification(Field);
    Field = Value;
    if (Value) FreeNotification(Value);
  }

 private:
  TComponent* FOwner = nullptr;
  std::string FName;
  int FTag = 0;
  bool FLoading = false;
  bool FDesigning = false;
  bool FDestroying = false;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;

  friend class TDefinitionReader;  // clears the loading state of a root whose reading failed
};

namespace ComponentDetail {

// The value type a setter takes: member function or non-generic lambda.
template <class M>
struct TSetterArg : TSetterArg<decltype(&M::operator())> {};
template <class C, class A>
struct TSetterArg<void (C::*)(A)> {
  using Type = std::remove_cvref_t<A>;
};
template <class L, class R, class T, class A>
struct TSetterArg<R (L::*)(T&, A) const> {
  using Type = std::remove_cvref_t<A>;
};

}  // namespace ComponentDetail

// Builds a TClassInfo for class T; see the example at the top of this file.
template <class T>
class TClassBuilder {
 public:
  TClassBuilder(std::string ClassName, const TClassInfo& Parent) {
    FInfo.ClassName = std::move(ClassName);
    FInfo.Parent = &Parent;
    if constexpr (std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>)
      FInfo.Factory = [](TComponent* AOwner) -> TComponent* { return new T(AOwner); };
  }

  template <class G, class S>
  TClassBuilder& Int(std::string Name, G Get, S Set, std::int64_t Default = 0) {
    return Ordinal(std::move(Name), TPropKind::Integer, Get, Set, Default, {});
  }
  template <class G, class S>
  TClassBuilder& Colour(std::string Name, G Get, S Set, TColor Default) {
    return Ordinal(std::move(Name), TPropKind::Colour, Get, Set, Default, {});
  }
  template <class G, class S>
  TClassBuilder& Enum(std::string Name, std::vector<std::string> Names, G Get, S Set,
                      std::int64_t Default = 0) {
    return Ordinal(std::move(Name), TPropKind::Enum, Get, Set, Default, std::move(Names));
  }
  template <class G, class S>
  TClassBuilder& Set(std::string Name, std::vector<std::string> Names, G Get, S Set,
                     std::int64_t Default = 0) {
    return Ordinal(std::move(Name), TPropKind::Set, Get, Set, Default, std::move(Names));
  }
  template <class G, class S>
  TClassBuilder& Bool(std::string Name, G Get, S Set, bool Default = false) {
    return Typed<bool>(std::move(Name), TPropKind::Boolean, Get, Set, Default);
  }
  template <class G, class S>
  TClassBuilder& Real(std::string Name, G Get, S Set, double Default = 0) {
    return Typed<double>(std::move(Name), TPropKind::Real, Get, Set, Default);
  }
  template <class G, class S>
  TClassBuilder& String(std::string Name, G Get, S Set, std::string Default = {}) {
    return Typed<std::string>(std::move(Name), TPropKind::String, Get, Set, std::move(Default));
  }
  template <class G, class S>
  TClassBuilder& Picture(std::string Name, G Get, S Set) {
    return Typed<std::string>(std::move(Name), TPropKind::Picture, Get, Set, std::string());
  }
  template <class G, class S>
  TClassBuilder& Strings(std::string Name, G Get, S Set) {
    return Typed<TStringList>(std::move(Name), TPropKind::Strings, Get, Set, TStringList());
  }
  template <class G, class S>
  TClassBuilder& Binary(std::string Name, G Get, S Set) {
    return Typed<TBytes>(std::move(Name), TPropKind::Binary, Get, Set, TBytes());
  }
  // A reference to another component; the setter's pointer type limits what may be assigned.
  template <class G, class S>
  TClassBuilder& Ref(std::string Name, G Get, S Set) {
    using TArg = typename ComponentDetail::TSetterArg<S>::Type;
    using TTarget = std::remove_pointer_t<TArg>;
    TPropInfo P = MakeProp(std::move(Name), TPropKind::Component,
                           TPropValue(static_cast<TComponent*>(nullptr)));
    P.Get = [Get](const TComponent& C) {
      return TPropValue(static_cast<TComponent*>(std::invoke(Get, static_cast<const T&>(C))));
    };
    P.Set = [Set, PropName = P.Name](TComponent& C, const TPropValue& V) {
      TComponent* Ref = std::get<TComponent*>(V);
      TTarget* Target = dynamic_cast<TTarget*>(Ref);
      if (Ref && !Target)
        throw EComponentError("Component " + Ref->Name() + " of class " + Ref->ClassName() +
                              " does not fit property " + PropName);
      std::invoke(Set, static_cast<T&>(C), Target);
    };
    return Add(std::move(P));
  }
  // An event field of type TEvent<Sig>; bound to a published handler of the root by name.
  template <class Sig, class TBase>
  TClassBuilder& Event(std::string Name, TEvent<Sig> TBase::*Field) {
    static_assert(std::is_base_of_v<TBase, T>);
    TPropInfo P = MakeProp(std::move(Name), TPropKind::Event, TPropValue(TMethod()));
    P.Get = [Field](const TComponent& C) {
      const TEvent<Sig>& E = static_cast<const T&>(C).*Field;
      return TPropValue(TMethod{E.Name, std::any(E.Code)});
    };
    P.Set = [Field, PropName = P.Name](TComponent& C, const TPropValue& V) {
      const TMethod& M = std::get<TMethod>(V);
      TEvent<Sig>& E = static_cast<T&>(C).*Field;
      if (!M.Code.has_value()) {
        E.Name = M.Name;
        E.Code = nullptr;
        return;
      }
      const auto* Code = std::any_cast<std::function<Sig>>(&M.Code);
      if (!Code) throw EComponentError("Handler " + M.Name + " does not fit event " + PropName);
      E.Name = M.Name;
      E.Code = *Code;
    };
    return Add(std::move(P));
  }
  // Publishes a handler member function of T (a form) under Name.
  template <class R, class TBase, class... A>
  TClassBuilder& Method(std::string Name, R (TBase::*Handler)(A...)) {
    static_assert(std::is_base_of_v<TBase, T>);
    TMethodInfo M{std::move(Name), nullptr};
    M.Bind = [Handler](TComponent& Self) -> std::any {
      T* P = static_cast<T*>(&Self);
      return std::function<R(A...)>([P, Handler](A... Args) { return (P->*Handler)(Args...); });
    };
    FInfo.Methods.push_back(std::move(M));
    return *this;
  }
  // Makes writing the last added property depend on the component's state (e.g. a font that
  // follows the parent's is not written).
  TClassBuilder& StoredWhen(std::function<bool(const T&)> Stored) {
    FInfo.Props.back().Stored = [Stored](const TComponent& C) {
      return Stored(static_cast<const T&>(C));
    };
    return *this;
  }
  // Marks the last added property as written even when it equals its default.
  TClassBuilder& AlwaysStored() {
    FInfo.Props.back().AlwaysStored = true;
    return *this;
  }
  TClassBuilder& Add(TPropInfo P) {
    FInfo.Props.push_back(std::move(P));
    return *this;
  }
  TClassInfo Build() { return std::move(FInfo); }

 private:
  template <class G, class S>
  TClassBuilder& Ordinal(std::string Name, TPropKind Kind, G Get, S Set, std::int64_t Default,
                         std::vector<std::string> Names) {
    using TArg = typename ComponentDetail::TSetterArg<S>::Type;
    TPropInfo P = MakeProp(std::move(Name), Kind, TPropValue(Default), std::move(Names));
    P.Get = [Get](const TComponent& C) {
      return TPropValue(static_cast<std::int64_t>(std::invoke(Get, static_cast<const T&>(C))));
    };
    P.Set = [Set](TComponent& C, const TPropValue& V) {
      std::invoke(Set, static_cast<T&>(C), static_cast<TArg>(std::get<std::int64_t>(V)));
    };
    return Add(std::move(P));
  }
  template <class V, class G, class S>
  TClassBuilder& Typed(std::string Name, TPropKind Kind, G Get, S Set, V Default) {
    using TArg = typename ComponentDetail::TSetterArg<S>::Type;
    TPropInfo P = MakeProp(std::move(Name), Kind, TPropValue(std::move(Default)));
    P.Get = [Get](const TComponent& C) {
      return TPropValue(V(std::invoke(Get, static_cast<const T&>(C))));
    };
    P.Set = [Set](TComponent& C, const TPropValue& Value) {
      std::invoke(Set, static_cast<T&>(C), TArg(std::get<V>(Value)));
    };
    return Add(std::move(P));
  }

  TClassInfo FInfo;
};
