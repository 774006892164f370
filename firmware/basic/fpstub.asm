* fpstub.asm: stand-ins for the number package's functions that are not in
* the image yet (Illegal function call). Delete this file, and its INCLUDE
* in basic.asm, when fpmath.asm defines these labels.
fp_pow
fp_sqr
fp_sin
fp_cos
fp_tan
fp_atn
fp_exp
fp_log
        LDB #5
        ORCC #$01
        RTS
