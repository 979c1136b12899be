#include "platform/core/Component.h"

#include <algorithm>

#include "platform/core/SysUtils.h"

bool SameValue(const TPropValue& A, const TPropValue& B) {
  if (A.index() != B.index()) return false;
  if (const auto* M = std::get_if<TMethod>(&A)) return M->Name == std::get<TMethod>(B).Name;
  return std::visit(
      [&B](const auto& X) {
        using V = std::decay_t<decltype(X)>;
        if constexpr (std::is_same_v<V, TMethod>)
          return false;
        else
          return X == std::get<V>(B);
      },
      A);
}

// ---- TClassInfo

const TPropInfo* TClassInfo::FindProp(std::string_view Name) const {
  for (const TClassInfo* C = this; C; C = C->Parent)
    for (const auto& P : C->Props)
      if (SameIdent(P.Name, Name)) return &P;
  return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view Name) const {
  for (const TClassInfo* C = this; C; C = C->Parent)
    for (const auto& M : C->Methods)
      if (SameIdent(M.Name, Name)) return &M;
  return nullptr;
}

bool TClassInfo::InheritsFrom(const TClassInfo& Other) const {
  for (const TClassInfo* C = this; C; C = C->Parent)
    if (C == &Other) return true;
  return false;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
  std::vector<const TClassInfo*> Chain;
  for (const TClassInfo* C = this; C; C = C->Parent) Chain.push_back(C);
  std::vector<const TPropInfo*> Result;
  for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
    for (const auto& P : (*It)->Props) {
      auto Same = std::find_if(Result.begin(), Result.end(),
                               [&P](const TPropInfo* Q) { return SameIdent(Q->Name, P.Name); });
      if (Same != Result.end())
        *Same = &P;
      else
        Result.push_back(&P);
    }
  return Result;
}

// ---- Registry

namespace {

std::vector<const TClassInfo*>& Registry() {
  static std::vector<const TClassInfo*> Classes;
  return Classes;
}

}  // namespace

void RegisterClass(const TClassInfo& Info) {
  auto& Classes = Registry();
  for (auto& C : Classes)
    if (SameIdent(C->ClassName, Info.ClassName)) {
      C = &Info;
      return;
    }
  Classes.push_back(&Info);
}

const TClassInfo* FindClass(std::string_view ClassName) {
  for (const TClassInfo* C : Registry())
    if (SameIdent(C->ClassName, ClassName)) return C;
  return nullptr;
}

void RegisterCoreClasses() {
  RegisterClass(TComponent::StaticClassInfo());
}

// ---- TComponent

const TClassInfo& TComponent::StaticClassInfo() {
  static const TClassInfo Info = [] {
    TClassInfo I;
    I.ClassName = "TComponent";
    I.Factory = [](TComponent* AOwner) { return new TComponent(AOwner); };
    TPropInfo Tag = MakeProp("Tag", TPropKind::Integer, TPropValue(std::int64_t(0)));
    Tag.Get = [](const TComponent& C) { return TPropValue(std::int64_t(C.Tag())); };
    Tag.Set = [](TComponent& C, const TPropValue& V) {
      C.SetTag(static_cast<int>(std::get<std::int64_t>(V)));
    };
    I.Props.push_back(std::move(Tag));
    return I;
  }();
  return Info;
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  FDestroying = true;
  // Tell everyone who asked; each removes us from its own list while we walk a copy.
  auto Notifies = FFreeNotifies;
  for (TComponent* C : Notifies) {
    auto& Theirs = C->FFreeNotifies;
    Theirs.erase(std::remove(Theirs.begin(), Theirs.end(), this), Theirs.end());
    C->Notification(this, opRemove);
  }
  FFreeNotifies.clear();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) delete FComponents.back();
}

void TComponent::SetName(const std::string& AName) {
  if (AName == FName) return;
  if (!AName.empty() && !IsValidIdent(AName))
    throw EComponentError("\"" + AName + "\" is not a valid component name");
  if (!AName.empty() && FOwner) {
    TComponent* Other = FOwner->FindComponent(AName);
    if (Other && Other != this)
      throw EComponentError("A component named " + AName + " already exists");
  }
  FName = AName;
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* C : FComponents)
    if (SameIdent(C->FName, AName)) return C;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent->FOwner == this) return;
  if (!AComponent->FName.empty() && FindComponent(AComponent->FName))
    throw EComponentError("A component named " + AComponent->FName + " already exists");
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  auto It = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (It == FComponents.end()) return;
  FComponents.erase(It);
  AComponent->FOwner = nullptr;
  Notification(AComponent, opRemove);
}

void TComponent::SetDesigning(bool Value) {
  FDesigning = Value;
  for (TComponent* C : FComponents) C->SetDesigning(Value);
}

void TComponent::EndLoad() {
  FLoading = false;
  Loaded();
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  auto Add = [](std::vector<TComponent*>& List, TComponent* C) {
    if (std::find(List.begin(), List.end(), C) == List.end()) List.push_back(C);
  };
  Add(FFreeNotifies, AComponent);
  Add(AComponent->FFreeNotifies, this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  auto Drop = [](std::vector<TComponent*>& List, TComponent* C) {
    List.erase(std::remove(List.begin(), List.end(), C), List.end());
  };
  Drop(FFreeNotifies, AComponent);
  Drop(AComponent->FFreeNotifies, this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove) RemoveFreeNotification(AComponent);
  if (AComponent == this) return;
  // Copy: a handler may destroy components in response.
  auto Owned = FComponents;
  for (TComponent* C : Owned)
    if (C != AComponent) C->Notification(AComponent, Operation);
}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::GetChildren(const std::function<void(TComponent*)>& Proc,
                             const TComponent* Root) const {
  if (Root != this) return;
  for (TComponent* C : FComponents)
    if (!C->HasParent()) Proc(C);
}

TPropValue TComponent::GetPropValue(std::string_view PropName) const {
  const TPropInfo* P = ClassInfo().FindProp(PropName);
  if (!P) throw EComponentError("Unknown property " + std::string(PropName) + " in " + ClassName());
  return P->Get(*this);
}

void TComponent::SetPropValue(std::string_view PropName, const TPropValue& Value) {
  const TPropInfo* P = ClassInfo().FindProp(PropName);
  if (!P) throw EComponentError("Unknown property " + std::string(PropName) + " in " + ClassName());
  if (P->Default.index() != Value.index())
    throw EComponentError("Wrong value type for property " + P->Name + " of " + ClassName());
  P->Set(*this, Value);
}
