#pragma once

#include "parts/accessibility.h"
#include "parts/picturewidget.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QImage>
#include <QTest>

// What assistive technology reads of a painted widget of a shown, active
// window: a named chart, its summary as description, an item per child; and
// the arrow keys moving a highlight that is drawn.
inline void expectReadable(PictureWidget &picture, const QString &describes, const QString &firstItem)
{
    SCOPED_TRACE(picture.objectName().toStdString());
    QAccessibleInterface *chart = QAccessible::queryAccessibleInterface(&picture);
    ASSERT_TRUE(chart);
    EXPECT_EQ(chart->role(), QAccessible::Chart);
    EXPECT_FALSE(chart->text(QAccessible::Name).isEmpty());
    EXPECT_TRUE(chart->text(QAccessible::Description).contains(describes))
        << chart->text(QAccessible::Description).toStdString();
    ASSERT_EQ(chart->childCount(), picture.itemCount());
    ASSERT_GT(chart->childCount(), 1);
    EXPECT_EQ(chart->child(0)->text(QAccessible::Name), firstItem);
    for (int i = 0; i < chart->childCount(); ++i) {
        QAccessibleInterface *item = chart->child(i);
        ASSERT_TRUE(item && item->isValid());
        EXPECT_FALSE(item->text(QAccessible::Name).isEmpty()) << i;
        EXPECT_EQ(item->parent(), chart);
        EXPECT_EQ(chart->indexOfChild(item), i);
    }

    picture.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return picture.hasFocus(); }));
    const QImage before = picture.grab().toImage();
    QTest::keyClick(&picture, Qt::Key_Right);
    EXPECT_EQ(picture.currentItem(), 0);
    QTest::keyClick(&picture, Qt::Key_Right);
    EXPECT_EQ(picture.currentItem(), 1);
    EXPECT_TRUE(chart->child(1)->state().focused);
    EXPECT_EQ(chart->focusChild(), chart->child(1));
    if (!picture.itemRect(1).isEmpty()) {
        EXPECT_NE(picture.grab().toImage(), before) << "no highlight drawn";
    }
    QTest::keyClick(&picture, Qt::Key_End);
    EXPECT_EQ(picture.currentItem(), chart->childCount() - 1);
    QTest::keyClick(&picture, Qt::Key_Right); // stays at the end
    EXPECT_EQ(picture.currentItem(), chart->childCount() - 1);
}
