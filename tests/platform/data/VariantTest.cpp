#include "platform/data/Variant.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/core/Exceptions.h"

TEST(VariantTest, IntegerReadOfFractionRoundsHalfToEven) {
  EXPECT_EQ(TVariant(2.5).AsInteger(), 2);
  EXPECT_EQ(TVariant(3.5).AsInteger(), 4);
  EXPECT_EQ(TVariant(-2.5).AsInteger(), -2);
  EXPECT_EQ(TVariant(2.5000001).AsInteger(), 3);
  EXPECT_EQ(TVariant("7.5").AsInteger(), 8);
  EXPECT_THROW(TVariant(1e300).AsInteger(), EConvertError);
}

TEST(VariantTest, NumbersAsPlainDecimalText) {
  EXPECT_EQ(FloatToText(42), "42");
  EXPECT_EQ(FloatToText(1.5), "1.5");
  EXPECT_EQ(FloatToText(0.1), "0.1");
  EXPECT_EQ(FloatToText(-0.0), "0");
  EXPECT_EQ(FloatToText(1e20), "100000000000000000000");
  EXPECT_EQ(FloatToText(1e-7), "0.0000001");
}

TEST(VariantTest, TextToNumbersIsStrict) {
  double D = 0;
  std::int64_t I = 0;
  EXPECT_TRUE(TryTextToFloat(" 1.25 ", D));
  EXPECT_EQ(D, 1.25);
  EXPECT_FALSE(TryTextToFloat("1,25", D));
  EXPECT_FALSE(TryTextToFloat("4x", D));
  EXPECT_FALSE(TryTextToFloat("nan", D));
  EXPECT_FALSE(TryTextToFloat("", D));
  EXPECT_TRUE(TryTextToInteger("+12", I));
  EXPECT_EQ(I, 12);
  EXPECT_FALSE(TryTextToInteger("99999999999999999999", I));
  EXPECT_THROW(TVariant("abc").AsFloat(), EConvertError);
}

TEST(VariantTest, EqualityAcrossKinds) {
  EXPECT_EQ(TVariant(3), TVariant(3.0));
  EXPECT_EQ(TVariant("3"), TVariant(3));
  EXPECT_FALSE(TVariant("abc") == TVariant(0));
  EXPECT_FALSE(TVariant() == TVariant(0));
  EXPECT_EQ(TVariant(), TVariant());
  EXPECT_FALSE(TVariant("Fly") == TVariant("fly"));
}

TEST(DateTimeTest, EncodeDecodeAndText) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2000, 3, 1) - EncodeDate(2000, 2, 28), 2);  // leap year
  EXPECT_EQ(EncodeDate(1900, 3, 1) - EncodeDate(1900, 2, 28), 1);  // no leap year
  TDateTime D = 0;
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, D));
  EXPECT_FALSE(TryEncodeDate(2023, 13, 1, D));
  const TDateParts P = DecodeDate(EncodeDate(1, 1, 1));
  EXPECT_EQ(P.Year, 1);
  EXPECT_EQ(P.Month, 1);
  EXPECT_EQ(P.Day, 1);
  // What a corrupt time stamp may hold is refused, never cast.
  int H = 0, M = 0, S = 0, Ms = 0;
  for (double Bad : {std::nan(""), 1e300, -HUGE_VAL}) {
    EXPECT_THROW(DecodeDate(Bad), EConvertError);
    EXPECT_THROW(DecodeTime(Bad, H, M, S, Ms), EConvertError);
  }
  ASSERT_TRUE(TryTextToDateTime("20240229", D));
  EXPECT_EQ(DateTimeToText(D), "2024-02-29");
  ASSERT_TRUE(TryTextToDateTime("2024-02-29 13:05", D));
  EXPECT_EQ(DateTimeToText(D), "2024-02-29 13:05:00");
  EXPECT_FALSE(TryTextToDateTime("2024 2 1", D));
  EXPECT_FALSE(TryTextToDateTime("20240230", D));
  EXPECT_FALSE(TryTextToDateTime("2024-02-01x", D));
}
