#include "platform/data/Field.h"

#include <cmath>
#include <limits>

#include "platform/data/DataSet.h"
#include "platform/data/DatabaseError.h"
#include "platform/data/TextCase.h"

const TFieldDef* TFieldDefs::Find(const std::string& Name) const {
  for (const TFieldDef& Def : FItems)
    if (SameText(Def.Name, Name)) return &Def;
  return nullptr;
}

TField::TField(TDataSet* ADataSet, const TFieldDef& Def)
    : FDataSet(ADataSet), FDef(Def), FReadOnly(Def.ReadOnly) {}

TVariant TField::Value() const {
  return FDataSet->GetFieldValue(*this);
}

template <class F>
auto TField::Read(const char* Message, F Convert) const {
  const TVariant V = Value();
  try {
    return Convert(V);
  } catch (const EConvertError&) {
    DatabaseError(FormatMessage(Message, V.AsString().c_str(), FieldName().c_str()));
  }
}

int TField::AsInteger() const {
  const std::int64_t V = AsLargeInt();
  if (V < std::numeric_limits<int>::min() || V > std::numeric_limits<int>::max())
    DatabaseError(FormatMessage(DataMessages::FieldRangeError, std::to_string(V).c_str(),
                                FieldName().c_str(), "-2147483648", "2147483647"));
  return static_cast<int>(V);
}

std::int64_t TField::AsLargeInt() const {
  return Read(DataMessages::InvalidIntegerValue, [](const TVariant& V) { return V.AsInteger(); });
}

double TField::AsFloat() const {
  return Read(DataMessages::InvalidFloatValue, [](const TVariant& V) { return V.AsFloat(); });
}

bool TField::AsBoolean() const {
  return Read(DataMessages::InvalidBoolValue, [](const TVariant& V) { return V.AsBoolean(); });
}

TDateTime TField::AsDateTime() const {
  return Read(DataMessages::InvalidDateValue, [](const TVariant& V) { return V.AsDateTime(); });
}

std::string TField::AsString() const {
  return Value().AsString();
}

namespace {

const TField& NumberField(const TField& Field, const char* Message) {
  if (Field.IsNull()) DatabaseError(FormatMessage(Message, "", Field.FieldName().c_str()));
  return Field;
}

}  // namespace

double NumberFieldAsFloat(const TField& Field) {
  return NumberField(Field, DataMessages::InvalidFloatValue).AsFloat();
}

std::int64_t NumberFieldAsInteger(const TField& Field) {
  return NumberField(Field, DataMessages::InvalidIntegerValue).AsLargeInt();
}

void TField::SetValue(const TVariant& Value) {
  FDataSet->SetFieldValue(*this, ToNative(Value));
}

void TField::CheckRange(std::int64_t Value) const {
  std::int64_t Min = std::numeric_limits<std::int64_t>::min();
  std::int64_t Max = std::numeric_limits<std::int64_t>::max();
  if (DataType() == ftSmallint) {
    Min = -32768;
    Max = 32767;
  } else if (DataType() == ftInteger || DataType() == ftAutoInc) {
    Min = std::numeric_limits<int>::min();
    Max = std::numeric_limits<int>::max();
  }
  if (Value < Min || Value > Max)
    DatabaseError(FormatMessage(DataMessages::FieldRangeError, std::to_string(Value).c_str(),
                                FieldName().c_str(), std::to_string(Min).c_str(),
                                std::to_string(Max).c_str()));
}

TVariant TField::ToNative(const TVariant& Value) const {
  if (Value.IsNull()) return Value;
  const bool Text = Value.VarType() == varString;
  const std::string S = Text ? Value.AsString() : std::string();
  if (Text && S.find_first_not_of(' ') == std::string::npos && DataType() != ftString &&
      DataType() != ftMemo)
    return TVariant();
  auto Invalid = [&](const char* Message) {
    DatabaseError(FormatMessage(Message, Value.AsString().c_str(), FieldName().c_str()));
  };
  switch (DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftAutoInc: {
      std::int64_t I = 0;
      if (Text) {
        if (!TryTextToInteger(S, I)) Invalid(DataMessages::InvalidIntegerValue);
      } else {
        try {
          I = Value.AsInteger();
        } catch (const EConvertError&) {
          Invalid(DataMessages::InvalidIntegerValue);
        }
      }
      CheckRange(I);
      return TVariant(I);
    }
    case ftFloat: {
      double D = 0;
      if (Text && !TryTextToFloat(S, D)) Invalid(DataMessages::InvalidFloatValue);
      return TVariant(Text ? D : Value.AsFloat());
    }
    case ftBoolean:
      try {
        return TVariant(Value.AsBoolean());
      } catch (const EConvertError&) {
        Invalid(DataMessages::InvalidBoolValue);
      }
    case ftDate:
    case ftDateTime: {
      TDateTime D = 0;
      if (Text) {
        if (!TryTextToDateTime(S, D)) Invalid(DataMessages::InvalidDateValue);
      } else if (Value.VarType() == varBoolean) {
        Invalid(DataMessages::InvalidDateValue);
      } else {
        D = Value.AsDateTime();
      }
      return TVariant::FromDateTime(DataType() == ftDate ? std::floor(D) : D);
    }
    default:
      return TVariant(Value.AsString());
  }
}

TField* TFields::Add(std::unique_ptr<TField> Field) {
  Field->FIndex = Count();
  FItems.push_back(std::move(Field));
  return FItems.back().get();
}

TField* TFields::FindField(const std::string& Name) const {
  for (const auto& Field : FItems)
    if (SameText(Field->FieldName(), Name)) return Field.get();
  return nullptr;
}
