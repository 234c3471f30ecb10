// Run-time classes: down-casts and dynamic creation.
#include <gtest/gtest.h>

#include "mfc/mfc.h"

TEST(Object, DynamicDowncastEvaluatesItsObjectOnce) {
  CMenu menu;
  int n = 0;
  EXPECT_EQ(DYNAMIC_DOWNCAST(CMenu, (++n, static_cast<CObject*>(&menu))), &menu);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(DYNAMIC_DOWNCAST(CWnd, (++n, static_cast<CObject*>(&menu))), nullptr);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(DYNAMIC_DOWNCAST(CMenu, static_cast<CObject*>(nullptr)), nullptr);

  // A made object is made once and comes back as the wanted class.
  CFrameWnd* pFrame = AfxCreateObjectOf<CFrameWnd>(RUNTIME_CLASS(CFrameWnd));
  ASSERT_NE(pFrame, nullptr);
  EXPECT_TRUE(pFrame->IsKindOf(RUNTIME_CLASS(CWnd)));
  delete pFrame;
  EXPECT_EQ(AfxCreateObjectOf<CView>(RUNTIME_CLASS(CFrameWnd)), nullptr);      // made, not a view, deleted
  EXPECT_EQ(AfxCreateObjectOf<CDocument>(RUNTIME_CLASS(CDocument)), nullptr);  // not creatable
}
