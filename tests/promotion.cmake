# The exit promotion: the refer-a-friend rules (no window) and the promotion screen (offscreen widgets).
zl_add_test(tst_tellafriend zl_promotion)
zl_add_test(tst_promotion zl_promotion)
