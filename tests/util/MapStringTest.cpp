// TMapString: ordered name=value lines with case-insensitive names.
#include <gtest/gtest.h>

#include "base/Erros.h"
#include "support/Falhas.h"
#include "util/vekMap.h"

namespace {

TEST(MapString, PutValueReplacesTheLineOfTheSameNameIgnoringCase) {
  util::TMapString m;
  m.putValue("dir", "/a");
  m.putValue("exec", " ");
  m.putValue("dir", "/b");
  ASSERT_EQ(m.Count(), 2);
  EXPECT_EQ(m.Strings(0), "dir=/b");
  m.putValue("DIR", "/c");
  ASSERT_EQ(m.Count(), 2);
  EXPECT_EQ(m.Strings(0), "DIR=/c");  // the line is rewritten with the name as given
  EXPECT_EQ(m.Names(0), "DIR");
  EXPECT_EQ(m.ValueFromIndex(0), "/c");
  EXPECT_EQ(m.Names(1), "exec");
  EXPECT_EQ(m.ValueFromIndex(1), " ");
  EXPECT_EQ(m.Values("Exec"), " ");
}

TEST(MapString, EmptyValueRemovesTheLine) {
  util::TMapString m;
  m.putValue("a", "1");
  m.putValue("b", "2");
  m.putValue("A", "");
  ASSERT_EQ(m.Count(), 1);
  EXPECT_EQ(m.Strings(0), "b=2");
  m.putValue("c", "");  // absent: nothing added
  EXPECT_EQ(m.Count(), 1);
}

TEST(MapString, NamesAndValuesSplitAtTheFirstEquals) {
  util::TMapString m;
  m.Add("x=y=z");
  m.Add("semigual");
  EXPECT_EQ(m.Names(0), "x");
  EXPECT_EQ(m.ValueFromIndex(0), "y=z");
  EXPECT_EQ(m.Names(1), "");
  EXPECT_EQ(m.ValueFromIndex(1), "");
  EXPECT_EQ(m.IndexOfName("semigual"), -1);
}

TEST(MapString, IndexOutsideTheListRaisesTheListError) {
  util::TMapString m;
  EXPECT_EQ(teste::ErroDe<base::Exception>([&] { (void)m.Strings(0); }),
            "List index out of bounds (0)")
      << "no error raised";
  m.Add("a=1");
  EXPECT_THROW((void)m.Names(1), base::Exception);
  EXPECT_THROW(m.Delete(-1), base::Exception);
}

}  // namespace
