zl_add_test(tst_saved zl_saved)
