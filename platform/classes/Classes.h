// The framework's object model: TObject, TPersistent (Assign/AssignTo), TComponent (owner,
// name, state, free notification), events, and the registry of published properties that the
// stored-layout reader and writer work from.
#pragma once

#include <any>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "platform/system/Sets.h"
#include "platform/system/System.h"

namespace kvb {

class TObject;
class TPersistent;
class TComponent;
struct TClassInfo;

using TNotifyEvent = std::function<void(TObject* Sender)>;

// A component cannot take the name it is given (not an identifier, or taken by a sibling), or
// an owner cannot take a component (it would own itself).
class EComponentError : public EConvertError { using EConvertError::EConvertError; };

// ---------------------------------------------------------------------------------------
// Enumeration names, found by argument-dependent lookup: declare them next to the
// enumeration with KVB_ENUM_NAMES(TFigType, "ftNoFigs", "ftNum", ...).

struct TEnumInfo {
    std::string_view TypeName;
    std::vector<std::string_view> Names;  // in ordinal order
    // Ordinal of a value name (case-insensitive), or -1.
    int IndexOf(std::string_view name) const noexcept;
};

#define KVB_ENUM_NAMES(Type, ...)                                             \
    inline const ::kvb::TEnumInfo& EnumInfoOf(Type*) {                        \
        static const ::kvb::TEnumInfo info{#Type, {__VA_ARGS__}};             \
        return info;                                                          \
    }

template <class E>
const TEnumInfo& EnumInfo() {
    return EnumInfoOf(static_cast<E*>(nullptr));
}

// ---------------------------------------------------------------------------------------
// Published properties

enum class TPropKind : std::uint8_t {
    Integer,    // any integral type; the reader checks the type's range
    Float,      // double or Extended
    Boolean,    // True / False
    String,     // 'text' with #nn codes
    Char,       // one character: 'a' or #nn
    Enum,       // a value name of Enum
    Set,        // [name, name] over Enum
    Color,      // a colour identifier or a number
    Object,     // an owned sub-object, written as Sub.Prop = value
    Component,  // a reference to another component by name, resolved after the whole layout
    Event,      // a published method of the form, by name
};

struct TPropInfo {
    std::string Name;
    TPropKind Kind{};
    const TEnumInfo* Enum = nullptr;       // Enum and Set
    const TClassInfo* RefClass = nullptr;  // Object: the class of the sub-object
    // Component: the class the referenced component must be, asked for only when needed, since
    // classes may refer to each other (or to themselves) while their information is being built.
    const TClassInfo& (*RefClassOf)() = nullptr;
    const TClassInfo* ReferenceClass() const { return RefClass ? RefClass : RefClassOf ? &RefClassOf() : nullptr; }
    Int64 MinValue = 0, MaxValue = 0;      // Integer and Char: the range the type can hold
    // Float: the width of the stored type (32, 64 or 80 bits), so that the writer writes the
    // shortest text that reads back to exactly the same value and the reader rounds only once.
    std::uint8_t FloatBits = 80;
    // False for a property derived from others (the writer leaves it out; the reader accepts it).
    bool Stored = true;

    // Integer, Boolean (0/1), Char, Enum (ordinal), Set (bits), Color.
    std::function<Int64(const TPersistent*)> GetOrd;
    std::function<void(TPersistent*, Int64)> SetOrd;
    std::function<Extended(const TPersistent*)> GetFloat;
    std::function<void(TPersistent*, Extended)> SetFloat;
    std::function<std::string(const TPersistent*)> GetStr;
    std::function<void(TPersistent*, const std::string&)> SetStr;
    // Object: the sub-object; Component: the referenced component (or nullptr).
    std::function<TPersistent*(const TPersistent*)> GetObj;
    std::function<void(TPersistent*, TPersistent*)> SetObj;  // Component only
    // Event: the handler is a std::any holding exactly the event's std::function type; a
    // handler of another type raises EConvertError.
    std::function<void(TPersistent*, const std::any&)> SetEvent;
    std::function<bool(const TPersistent*)> HasEvent;
};

// A published method of a class (typically a form's event handler): given the object, makes
// a std::any holding the bound std::function with the method's own signature.
struct TMethodInfo {
    std::string Name;
    std::function<std::any(TPersistent* self)> Bind;
};

struct TClassInfo {
    std::string Name;
    const TClassInfo* Parent = nullptr;
    // Set for classes a layout may create: makes a new instance owned by Owner.
    std::function<TComponent*(TComponent* Owner)> Create;
    std::vector<TPropInfo> OwnProps;      // declaration order
    std::vector<TMethodInfo> OwnMethods;

    bool InheritsFrom(const TClassInfo& other) const noexcept;
    // Inherited properties first, then this class's, each in declaration order.
    std::vector<const TPropInfo*> AllProps() const;
    const TPropInfo* FindProp(std::string_view name) const noexcept;  // case-insensitive
    const TMethodInfo* FindMethod(std::string_view name) const noexcept;
};

// Keeps a class's information for the life of the process and enters it into the table of
// classes by name; StaticClassInfo() definitions return what this returns. A stored layout can
// create the classes that have a Create factory (TClassBuilder::Creatable).
const TClassInfo& DefineClass(TClassInfo info);
const TClassInfo* FindClass(std::string_view name) noexcept;

#define KVB_REGISTER_CLASS(Class) \
    [[maybe_unused]] static const bool kvb_registered_##Class = (Class::StaticClassInfo(), true)

// Declares the class's run-time information; define StaticClassInfo() in the .cpp with a
// TClassBuilder.
#define KVB_CLASS_INFO()                                                                     \
public:                                                                                      \
    static const ::kvb::TClassInfo& StaticClassInfo();                                       \
    const ::kvb::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }        \
                                                                                             \
private:

// ---------------------------------------------------------------------------------------

class TObject {
public:
    virtual ~TObject() = default;
    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
    const std::string& ClassName() const { return ClassInfo().Name; }
    bool InheritsFrom(const TClassInfo& info) const noexcept { return ClassInfo().InheritsFrom(info); }
};

class TPersistent : public TObject {
    KVB_CLASS_INFO()
public:
    // Copies from Source, which must be of this class or a descendant; otherwise hands over
    // to Source->AssignTo(this). Nobody is notified of the copy.
    virtual void Assign(TPersistent* Source);
    // Copies this object into Dest; the base raises EConvertError
    // "Cannot assign a <source class> to a <destination class>" ("nil" for a null source).
    virtual void AssignTo(TPersistent* Dest);
};

enum TComponentStateItem : std::uint8_t {
    csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating,
    csFixups, csFreeNotification, csInline, csDesignInstance
};
KVB_ENUM_NAMES(TComponentStateItem, "csLoading", "csReading", "csWriting", "csDestroying",
               "csDesigning", "csAncestor", "csUpdating", "csFixups", "csFreeNotification",
               "csInline", "csDesignInstance")
using TComponentState = TSet<TComponentStateItem>;

enum TOperation : std::uint8_t { opInsert, opRemove };

class TComponent : public TPersistent {
    KVB_CLASS_INFO()
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const noexcept { return owner_; }
    const std::string& Name() const noexcept { return name_; }
    // Raises EComponentError (an EConvertError) for a name that is not an identifier or is
    // taken by a sibling; the empty name is allowed.
    void SetName(const std::string& value);
    int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;
    TComponent* FindComponent(std::string_view name) const noexcept;  // case-insensitive
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    TComponentState ComponentState() const noexcept { return state_; }
    // Puts the component (and the components it owns) into or out of the designing state.
    void SetDesigning(bool value);
    // The reader raises csLoading while it applies a layout and lowers it in Loaded.
    void SetLoading(bool value) noexcept;

    // Ask to be told (Notification with opRemove) when Component is destroyed; Component is
    // told as well when this one is destroyed first.
    void FreeNotification(TComponent* component);
    // Withdraws this component's request. The link stays while Component still asks for it, so
    // two components that refer to each other each keep hearing of the other.
    void RemoveFreeNotification(TComponent* component);

    // Called once, after the whole layout this component belongs to has been read; lowers
    // csLoading.
    virtual void Loaded();
    // Told when a free-notification partner is destroyed (opRemove), and when a component is
    // inserted into or removed from this owner. The link to a destroyed partner is gone before
    // this is called. The base does not pass the news on to the owned components: whoever keeps
    // a reference to a component asks for its free notification.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

    // Raises csDestroying. A descendant whose destructor needs its owned components gone while
    // its own parts still exist calls Destroying() and DestroyComponents() first.
    void Destroying() noexcept;
    // Frees the owned components, the last created first.
    void DestroyComponents() noexcept;

    // The hooks through which a layout nests components without knowing controls. The reader
    // calls SetParentComponent with the component whose block encloses the new one (the base
    // ignores it; a control takes it as its Parent).
    virtual void SetParentComponent(TComponent* parent);
    // The component this one is nested in when written (the base: none).
    virtual TComponent* GetParentComponent() const;
    // Calls proc for every component written as a block inside this one, in creation order. The
    // base hands over the components Root owns whose GetParentComponent() is this one, and for
    // Root itself also those that have no parent component.
    virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);

    // Event bindings made by name from a layout (property path -> method name, a binding of
    // the same property replacing the earlier one), kept so that the writer can write them back.
    void RecordEventBinding(const std::string& property, const std::string& method);
    const std::vector<std::pair<std::string, std::string>>& EventBindings() const noexcept {
        return eventBindings_;
    }

private:
    TComponent* owner_ = nullptr;
    std::string name_;
    std::vector<TComponent*> components_;
    // The named owned components by lower-case name, so that names stay unique and are found
    // in constant time however many components a layout makes.
    std::unordered_map<std::string, TComponent*> byName_;
    // Free-notification links. Each side of a link asks for it on its own (Mine: this component
    // asked, Theirs: the other did); a link lasts while either side still wants it, and when
    // either component is destroyed both hear of it and the link is gone from both lists.
    struct TFreeLink {
        TComponent* Other;
        bool Mine, Theirs;
    };
    std::vector<TFreeLink> freeNotifies_;
    TFreeLink* FindLink(const TComponent* other) noexcept;
    void DropLink(const TComponent* other) noexcept;
    TComponentState state_;
    std::vector<std::pair<std::string, std::string>> eventBindings_;
};

// ---------------------------------------------------------------------------------------
// Builds a class's TClassInfo, for example:
//
//   const TClassInfo& TFastFourier::StaticClassInfo() {
//       static const TClassInfo& info = DefineClass(
//           TClassBuilder<TFastFourier>("TFastFourier", &TComponent::StaticClassInfo())
//               .Creatable()
//               .Enum("WeightingWindow", &TFastFourier::WeightingWindow,
//                     &TFastFourier::SetWeightingWindow)
//               .Build());
//       return info;
//   }
//   KVB_REGISTER_CLASS(TFastFourier);   // at namespace scope in the same .cpp
//
// Getters and setters are member functions; setters may take the value or a const reference.

template <class C>
class TClassBuilder {
public:
    TClassBuilder(std::string name, const TClassInfo* parent) {
        info_.Name = std::move(name);
        info_.Parent = parent;
    }

    TClassBuilder& Creatable() {
        static_assert(std::is_base_of_v<TComponent, C>);
        info_.Create = [](TComponent* owner) -> TComponent* { return new C(owner); };
        return *this;
    }

    template <class G, class S>
    TClassBuilder& Int(const char* name, G get, S set) {
        using T = std::remove_cvref_t<std::invoke_result_t<G, const C*>>;
        static_assert(std::is_integral_v<T>);
        TPropInfo p = Base(name, TPropKind::Integer);
        p.MinValue = static_cast<Int64>(std::numeric_limits<T>::min());
        p.MaxValue = std::numeric_limits<T>::max() > std::numeric_limits<Int64>::max()
                         ? std::numeric_limits<Int64>::max()
                         : static_cast<Int64>(std::numeric_limits<T>::max());
        p.GetOrd = [get](const TPersistent* o) { return static_cast<Int64>(std::invoke(get, Self(o))); };
        p.SetOrd = [set](TPersistent* o, Int64 v) { std::invoke(set, Self(o), static_cast<T>(v)); };
        return Add(std::move(p));
    }
    template <class G, class S>
    TClassBuilder& Float(const char* name, G get, S set) {
        using T = std::remove_cvref_t<std::invoke_result_t<G, const C*>>;
        TPropInfo p = Base(name, TPropKind::Float);
        static_assert(std::is_floating_point_v<T>);
        p.FloatBits = sizeof(T) == sizeof(float) ? 32 : sizeof(T) == sizeof(double) ? 64 : 80;
        p.GetFloat = [get](const TPersistent* o) { return static_cast<Extended>(std::invoke(get, Self(o))); };
        p.SetFloat = [set](TPersistent* o, Extended v) { std::invoke(set, Self(o), static_cast<T>(v)); };
        return Add(std::move(p));
    }
    template <class G, class S>
    TClassBuilder& Bool(const char* name, G get, S set) {
        TPropInfo p = Base(name, TPropKind::Boolean);
        p.MinValue = 0;
        p.MaxValue = 1;
        p.GetOrd = [get](const TPersistent* o) { return static_cast<Int64>(std::invoke(get, Self(o)) ? 1 : 0); };
        p.SetOrd = [set](TPersistent* o, Int64 v) { std::invoke(set, Self(o), v != 0); };
        return Add(std::move(p));
    }
    template <class G, class S>
    TClassBuilder& Str(const char* name, G get, S set) {
        TPropInfo p = Base(name, TPropKind::String);
        p.GetStr = [get](const TPersistent* o) { return std::string(std::invoke(get, Self(o))); };
        p.SetStr = [set](TPersistent* o, const std::string& v) { std::invoke(set, Self(o), v); };
        return Add(std::move(p));
    }
    template <class G, class S>
    TClassBuilder& Char(const char* name, G get, S set) {
        TPropInfo p = Base(name, TPropKind::Char);
        p.MinValue = 0;
        p.MaxValue = 255;
        p.GetOrd = [get](const TPersistent* o) { return static_cast<Int64>(static_cast<unsigned char>(std::invoke(get, Self(o)))); };
        p.SetOrd = [set](TPersistent* o, Int64 v) { std::invoke(set, Self(o), static_cast<char>(v)); };
        return Add(std::move(p));
    }
    template <class G, class S>
    TClassBuilder& Enum(const char* name, G get, S set) {
        using E = std::remove_cvref_t<std::invoke_result_t<G, const C*>>;
        static_assert(std::is_enum_v<E>);
        TPropInfo p = Base(name, TPropKind::Enum);
        p.Enum = &EnumInfo<E>();
        p.MinValue = 0;
        p.MaxValue = static_cast<Int64>(p.Enum->Names.size()) - 1;
        p.GetOrd = [get](const TPersistent* o) { return static_cast<Int64>(std::invoke(get, Self(o))); };
        p.SetOrd = [set](TPersistent* o, Int64 v) { std::invoke(set, Self(o), static_cast<E>(v)); };
        return Add(std::move(p));
    }
    template <class G, class S>
    TClassBuilder& Set(const char* name, G get, S set) {
        using T = std::remove_cvref_t<std::invoke_result_t<G, const C*>>;
        TPropInfo p = Base(name, TPropKind::Set);
        p.Enum = &SetEnumInfo(static_cast<T*>(nullptr));
        p.GetOrd = [get](const TPersistent* o) { return static_cast<Int64>(std::invoke(get, Self(o)).Bits()); };
        p.SetOrd = [set](TPersistent* o, Int64 v) { std::invoke(set, Self(o), T::FromBits(static_cast<std::uint64_t>(v))); };
        return Add(std::move(p));
    }
    template <class G, class S>
    TClassBuilder& Color(const char* name, G get, S set) {
        TPropInfo p = Base(name, TPropKind::Color);
        p.MinValue = std::numeric_limits<std::int32_t>::min();
        p.MaxValue = std::numeric_limits<std::uint32_t>::max();
        p.GetOrd = [get](const TPersistent* o) { return static_cast<Int64>(std::invoke(get, Self(o))); };
        p.SetOrd = [set](TPersistent* o, Int64 v) { std::invoke(set, Self(o), static_cast<std::uint32_t>(v)); };
        return Add(std::move(p));
    }
    // An owned sub-object; the layout sets its properties as Name.Prop = value.
    template <class G>
    TClassBuilder& Object(const char* name, G get) {
        using P = std::remove_cvref_t<std::remove_pointer_t<std::invoke_result_t<G, const C*>>>;
        TPropInfo p = Base(name, TPropKind::Object);
        p.RefClass = &P::StaticClassInfo();
        p.GetObj = [get](const TPersistent* o) -> TPersistent* {
            return const_cast<P*>(static_cast<const P*>(std::invoke(get, Self(o))));
        };
        return Add(std::move(p));
    }
    // A reference to another component of the layout.
    template <class G, class S>
    TClassBuilder& Component(const char* name, G get, S set) {
        using P = std::remove_cvref_t<std::remove_pointer_t<std::invoke_result_t<G, const C*>>>;
        TPropInfo p = Base(name, TPropKind::Component);
        p.RefClassOf = &P::StaticClassInfo;
        p.GetObj = [get](const TPersistent* o) -> TPersistent* {
            return const_cast<P*>(static_cast<const P*>(std::invoke(get, Self(o))));
        };
        p.SetObj = [set](TPersistent* o, TPersistent* v) {
            std::invoke(set, Self(o), dynamic_cast<P*>(v));
        };
        return Add(std::move(p));
    }
    // An event property holding a std::function of type Ev.
    template <class G, class S>
    TClassBuilder& Event(const char* name, G get, S set) {
        using Ev = std::remove_cvref_t<std::invoke_result_t<G, const C*>>;
        TPropInfo p = Base(name, TPropKind::Event);
        p.SetEvent = [set, n = std::string(name)](TPersistent* o, const std::any& h) {
            const Ev* handler = std::any_cast<Ev>(&h);
            if (handler == nullptr)
                throw EConvertError("Handler of the wrong type for event " + n);
            std::invoke(set, Self(o), *handler);
        };
        p.HasEvent = [get](const TPersistent* o) { return static_cast<bool>(std::invoke(get, Self(o))); };
        return Add(std::move(p));
    }
    // A published method: void Handler(TObject* Sender) and the like.
    template <class R, class... A>
    TClassBuilder& Method(const char* name, R (C::*method)(A...)) {
        info_.OwnMethods.push_back(TMethodInfo{name, [method](TPersistent* self) -> std::any {
            C* obj = static_cast<C*>(self);
            return std::function<R(A...)>([obj, method](A... args) -> R {
                return (obj->*method)(std::forward<A>(args)...);
            });
        }});
        return *this;
    }

    // Marks the property added last as derived from others: layouts do not store it.
    TClassBuilder& NotStored() {
        if (!info_.OwnProps.empty()) info_.OwnProps.back().Stored = false;
        return *this;
    }

    TClassInfo Build() { return std::move(info_); }

private:
    static C* Self(TPersistent* o) { return static_cast<C*>(o); }
    static const C* Self(const TPersistent* o) { return static_cast<const C*>(o); }
    TPropInfo Base(const char* name, TPropKind kind) {
        TPropInfo p;
        p.Name = name;
        p.Kind = kind;
        return p;
    }
    TClassBuilder& Add(TPropInfo p) {
        info_.OwnProps.push_back(std::move(p));
        return *this;
    }
    template <class E>
    static const TEnumInfo& SetEnumInfo(TSet<E>*) { return EnumInfo<E>(); }

    TClassInfo info_;
};

}  // namespace kvb
