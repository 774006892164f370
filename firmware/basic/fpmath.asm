* fpmath.asm: the BASIC's functions of numbers: SQR SIN COS TAN ATN EXP LOG,
* the power operator, and the random sequence of RND.
*
* Entry points: fp_sqr fp_sin fp_cos fp_tan fp_atn fp_exp fp_log fp_pow
*   fp_rnd fp_seed fp_rndinit
* Registers: A, B, X and CC change; Y, U and S are kept. DP must be $70.
* Work bytes: FPFN (the caller's precision), FPQ (quadrant, flags), FPT1-FPT3
* (numbers kept meanwhile), FPPZ/FPPP/FPPC (the polynomial being summed),
* RNDST (the random state); FPP..FPP+16 for SQR.
*
* SQR takes the square root of the mantissa bit by bit, as long division
* does, so it comes out correctly rounded in either precision. The other
* functions work in double precision whatever the caller's precision and
* round the result to it at the end. Each reduces its argument to a small
* range and sums a truncated series there by Horner's rule (fewer terms when
* the result is a single):
*   SIN, COS, TAN  x - k pi/2 (pi/2 in two parts, so that k pi/2 is exact
*                  to 84 bits), then the sine or cosine series by quadrant
*   ATN            1/x above 1, then atn(j/8) + atn((x - j/8)/(1 + x j/8))
*   EXP            2^(m/8) e^r, r = x - m ln2/8, 2^(j/8) from a table
*   LOG            e ln2 + ln(j/16) + 2 atanh((m - j/16)/(m + j/16)),
*                  m the mantissa in sqrt(1/2)..sqrt(2)
*   x^y            whole y (below 32768) by repeated squaring, else
*                  EXP(y LOG x)
*
* The random sequence is a 32-bit linear congruential generator,
* state := state x 1664525 + 1013904223 (mod 2^32), whose top 24 bits are
* the fraction RND returns. A cold start sets the same state every time.

        SETDP $70

* ---------------------------------------------------------------- SQR
fp_sqr  JSR fpsetn
        LDA FACEXP
        LBEQ .r              ; SQR(0) = 0
        TST FACSGN
        LBMI .bad
        CLR FPSGN
        LDX #FPP            ; remainder (n+2 bytes), then the radicand
        LDB #17             ; (n+1 bytes)
.clr    CLR ,X+
        DECB
        BNE .clr
        LDB FPN
        ADDB #2
        STB FPCNT+1         ; L: bytes of the remainder and the root
        LDX #FPP
        ABX                 ; X = the radicand
        LDB FPN
        PSHS U
        LDU #FACMAN
.cp     LDA ,U+
        STA ,X+
        DECB
        BNE .cp
        PULS U
        LDA FACEXP          ; an odd exponent: half the mantissa, so that
        LSRA                ; the exponent halves evenly
        BCC .even
        LDX #FPP
        LDB FPCNT+1
        ABX
        LDB FPN
        INCB
        ANDCC #$FE
.half   ROR ,X+
        DECB
        BNE .half
        LDA FACEXP
        LSRA
        INCA
.even   ADDA #$40
        STA FPEXP+1
        CLR FPEXP
        LDX #FACMAN         ; the root, times 4, grows in FAC+1..
        LDB #9
.clr2   CLR ,X+
        DECB
        BNE .clr2
        LDB FPN
        INCB
        LSLB
        LSLB
        LSLB
        STB FPCNT           ; root bits: mantissa and guard
        CMPB #32
        LBEQ fpssqr
.bit    LDB FPN             ; two bits of the radicand into the remainder
        LSLB
        ADDB #3             ; 2n+3 bytes
        PSHS B
        LDX #FPP
        ABX
        ANDCC #$FE
.s1     ROL ,-X
        DECB
        BNE .s1
        LDB ,S
        LDX #FPP
        ABX
        ANDCC #$FE
.s2     ROL ,-X
        DECB
        BNE .s2
        PULS B
        LDX #FPP            ; remainder > 4 root?
        LDB FPCNT+1
.cmp    LDA ,X
        CMPA FACMAN-FPP,X
        BHI .gt
        BLO .le
        LEAX 1,X
        DECB
        BNE .cmp
.le     JSR fprootsh          ; no: the next root bit is 0
        BRA .nx
.gt     LDX #FPP            ; yes: remainder -= 4 root + 1, bit 1
        LDB FPCNT+1
        ABX
        ORCC #1
.sub    LDA ,-X
        SBCA FACMAN-FPP,X
        STA ,X
        DECB
        BNE .sub
        JSR fprootsh
        LDX #FACMAN-1
        LDB FPCNT+1
        LDA B,X
        ORA #4
        STA B,X
.nx     DEC FPCNT
        BNE .bit
.done   LDX #FACMAN         ; the root: 4 root shifted right 2, one byte up
        LDB FPCNT+1
        LDA #2
.sr
        LSR ,X
        ROR 1,X
        ROR 2,X
        ROR 3,X
        ROR 4,X
        ROR 5,X
        ROR 6,X
        ROR 7,X
        ROR 8,X
        DECA
        BNE .sr
        DECB
.up     LDA 1,X
        STA ,X+
        DECB
        BNE .up
        CLR ,X
        LDX #FPP            ; a remainder left: sticky
        LDB FPCNT+1
        JMP fpstkor
.r      CLRA
        RTS
.bad    LDB #5
        COMA
        RTS

* The same for a single, the bytes in place: remainder FPP..FPP+4,
* radicand FPP+5..FPP+8, 4 root in FAC+1..FAC+5.
fpssqr  LDB #2              ; two radicand bits into the remainder
.sh
        LSL FPP+8
        ROL FPP+7
        ROL FPP+6
        ROL FPP+5
        ROL FPP+4
        ROL FPP+3
        ROL FPP+2
        ROL FPP+1
        ROL FPP
        DECB
        BNE .sh
        LDD FPP             ; remainder > 4 root?
        CMPD FACMAN
        BNE .c
        LDD FPP+2
        CMPD FACMAN+2
        BNE .c
        LDA FPP+4
        CMPA FACMAN+4
.c      BLS .le
        ORCC #1             ; remainder -= 4 root + 1
        LDA FPP+4
        SBCA FACMAN+4
        STA FPP+4
        LDA FPP+3
        SBCA FACMAN+3
        STA FPP+3
        LDA FPP+2
        SBCA FACMAN+2
        STA FPP+2
        LDD FPP
        SBCB FACMAN+1
        SBCA FACMAN
        STD FPP
        LDB #4              ; the root bit: 1
        BRA .nx
.le     CLRB
.nx     LSL FACMAN+4
        ROL FACMAN+3
        ROL FACMAN+2
        ROL FACMAN+1
        ROL FACMAN
        ORB FACMAN+4
        STB FACMAN+4
        DEC FPCNT
        LBNE fpssqr
        JMP fp_sqr.done

* 4 root (L bytes at FAC+1) shifted left one bit.
fprootsh LDX #FACMAN
        LDB FPCNT+1
        ABX
        ANDCC #$FE
.l      ROL ,-X
        DECB
        BNE .l
        RTS

* ---------------------------------------------------------------- helpers
* A function works in double precision for a double result and with 32-bit
* mantissas (FPREC = 5) for a single one; argument reductions that must be
* exact use double precision (fpfexact). It ends in the caller's precision.
fpfbeg  LDA FPREC
        STA FPFN
fpfwork LDA #8
        LDB FPFN
        CMPB #8
        BEQ .s
        LDA #5
.s      STA FPREC
        RTS
fpfexact LDA #8
        STA FPREC
        RTS
fpfend  LDA FPREC
        CMPA #5
        BNE .r
        CLR FACMAN+5        ; below the 32 bits: whatever the operands left
        CLR FACMAN+6
        CLR FACRND
.r      LDA FPFN
        STA FPREC
        JMP fp_round
fpferr  LDA FPFN            ; B: the error
        STA FPREC
        ORCC #1
        RTS

* FAC := FAC squared.
fpsq    JSR fp_fac2arg
        JMP fp_mul

* FAC := p(FAC) for the polynomial at X: the number of coefficients for a
* single and for a double, then the coefficients from the highest degree.
* A single drops the highest ones.
fppoly  LDB ,X
        LDA FPFN
        CMPA #8
        BNE .s
        LDB 1,X
.s      STB FPPC
        LDA 1,X
        PSHS B
        SUBA ,S+
        LSLA
        LSLA
        LSLA
        LEAX 2,X
        LEAX A,X
        STX FPPP
        LDX #FPPZ
        JSR fp_std
        LDX FPPP
        JSR fp_ldd
.l      LDX FPPP
        LEAX 8,X
        STX FPPP
        DEC FPPC
        BEQ .r
        LDX #FPPZ
        JSR fp_argd
        JSR fp_mul
        LDX FPPP
        JSR fp_argd
        JSR fp_add
        BRA .l
.r      CLRA
        RTS

* ---------------------------------------------------------------- SIN COS TAN
fp_cos  JSR fpfbeg
        LDA #1              ; a quarter turn on
        BRA trig
fp_sin  JSR fpfbeg
        CLRA
trig    STA FPQ
        BSR fptrred
        LDA FPQ
        BITA #1
        BNE .cos
        BSR fpsinr
        BRA .sg
.cos    BSR fpcosr
.sg     LDA FPQ
        BITA #2
        BEQ .e
        JSR fp_neg
.e      LBRA fpfend

fp_tan  JSR fpfbeg
        CLR FPQ
        BSR fptrred
        LDX #FPT3
        JSR fp_std
        BSR fpcosr
        LDX #FPT2
        JSR fp_std
        LDX #FPT3
        JSR fp_ldd
        BSR fpsinr
        LDA FPQ
        BITA #1
        BNE .odd
        JSR fp_fac2arg      ; sin / cos
        LDX #FPT2
        JSR fp_ldd
        JSR fp_div
        BRA .e
.odd    LDX #FPT2           ; -cos / sin
        JSR fp_argd
        JSR fp_div
        BCS .e
        JSR fp_neg
.e      LBCS fpferr
        LBRA fpfend

* FAC := sin r, cos r (r small, in FAC).
fpsinr  LDX #FPT1
        JSR fp_std
        JSR fpsq
        LDX #fc_sin
        JSR fppoly
        LDX #FPT1
        JSR fp_argd
        JMP fp_mul
fpcosr  JSR fpsq
        LDX #fc_cos
        LBRA fppoly

* FAC := x - k pi/2 for the whole k nearest to x 2/pi; FPQ += k (mod 4).
fptrred LDA FPFN            ; a single below 2^16: 32 bits do, with pi/2
        CMPA #8             ; in three parts
        BEQ .x
        LDA FACEXP
        CMPA #$90
        BLS .w
.x      JSR fpfexact
.w      LDX #FPT1
        JSR fp_std
        LDX #fc_2pi
        JSR fp_argd
        JSR fp_mul
        LDX #fc_half
        JSR fp_argd
        JSR fp_add
        JSR fp_int
        LDA FACEXP
        BEQ .k0             ; k = 0: r = x
        BSR fpqbits
        ADDA FPQ
        STA FPQ
        LDX #FPT2
        JSR fp_std
        LDA FPREC
        CMPA #5
        BEQ .s
        LDX #fc_pi2a
        BSR fpsubk
        LDX #fc_pi2b
        BSR fpsubk
        BRA .k0
.s      LDX #fc_pi2s1
        BSR fpsubk
        LDX #fc_pi2s2
        BSR fpsubk
        LDX #fc_pi2s3
        BSR fpsubk
.k0     LDX #FPT1
        JSR fp_ldd
        JMP fpfwork

* FPT1 := FPT1 - FPT2 x the constant at X.
fpsubk  PSHS X
        LDX #FPT2
        JSR fp_ldd
        PULS X
        JSR fp_argd
        JSR fp_mul
        LDX #FPT1
        JSR fp_argd
        JSR fp_sub
        LDX #FPT1
        JMP fp_std

* A := the whole number in FAC modulo 4.
fpqbits LDB FACEXP
        SUBB #$81           ; the place of the units bit in the mantissa
        BLO .zero
        CMPB #56
        BHS .zero
        PSHS B
        LSRB
        LSRB
        LSRB
        LDX #FACMAN
        ABX
        LDB ,X
        CLRA
        CMPX #FACMAN
        BEQ .f
        LDA -1,X
.f      STD FPT
        PULS B
        ANDB #7
        EORB #7
        BEQ .g
.sh     LSR FPT
        ROR FPT+1
        DECB
        BNE .sh
.g      LDA FPT+1
        ANDA #3
        TST FACSGN
        BPL .r
        NEGA
        ANDA #3
.r      RTS
.zero   CLRA
        RTS

* ---------------------------------------------------------------- ATN
fp_atn  JSR fpfbeg
        LDA FACEXP
        LBEQ fpfend
        LDA FACSGN
        ANDA #$80
        STA FPQ             ; bit 7: negative, bit 0: 1/x taken
        CLR FACSGN
        LDX #fc_one
        JSR fp_argd
        JSR fp_cmp
        TSTB
        BPL .le
        JSR fp_div
        LDA FPQ
        ORA #1
        STA FPQ
.le     LDX #FPT1
        JSR fp_std
        LDA FACEXP          ; j = 8x rounded
        ADDA #3
        STA FACEXP
        JSR fp_toint
        PSHS B
        CLRA
        JSR fp_fromint
        LDA FACEXP
        BEQ .c0
        SUBA #3
        STA FACEXP
.c0     LDX #FPT2
        JSR fp_std          ; c = j/8
        LDX #FPT1
        JSR fp_argd
        JSR fp_mul
        LDX #fc_one
        JSR fp_argd
        JSR fp_add
        LDX #FPT3
        JSR fp_std          ; 1 + x c
        LDX #FPT2
        JSR fp_ldd
        LDX #FPT1
        JSR fp_argd
        JSR fp_sub          ; x - c
        JSR fp_fac2arg
        LDX #FPT3
        JSR fp_ldd
        JSR fp_div
        LDX #FPT1
        JSR fp_std
        JSR fpsq
        LDX #fc_atn
        JSR fppoly
        LDX #FPT1
        JSR fp_argd
        JSR fp_mul
        PULS B
        LDA #8
        MUL
        LDX #fc_atnj
        LEAX D,X
        JSR fp_argd
        JSR fp_add
        LDA FPQ
        BITA #1
        BEQ .ni
        LDX #fc_pi2
        JSR fp_argd
        JSR fp_sub
.ni     LDA FPQ
        BPL .e
        JSR fp_neg
.e      JMP fpfend

* ---------------------------------------------------------------- EXP
fp_exp  JSR fpfbeg
        LDA FACEXP
        LBEQ .one
        LDX #fc_expmax
        JSR fp_argd
        JSR fp_cmp
        TSTB
        LBMI .ovf
        LDX #fc_expmin
        JSR fp_argd
        JSR fp_cmp
        CMPB #1
        LBEQ .zero
        LDA FPFN
        CMPA #8
        BNE .w5             ; a single: 32 bits do, with ln 2/8 in two parts
        JSR fpfexact
.w5     LDX #FPT1
        JSR fp_std
        LDX #fc_8ln2
        JSR fp_argd
        JSR fp_mul
        JSR fp_toint        ; m = x 8/ln2 rounded
        PSHS D
        JSR fp_fromint
        LDX #FPT2
        JSR fp_std
        LDX #fc_l8a
        LDA FPREC
        CMPA #5
        BNE .l8
        LDX #fc_l8s1
.l8     PSHS X
        JSR fpsubk
        PULS X
        LEAX 8,X            ; the second part follows the first
        JSR fpsubk
        LDX #FPT1
        JSR fp_ldd          ; r = x - m ln2/8
        JSR fpfwork
        LDX #fc_exp
        JSR fppoly
        LDB 1,S             ; times 2^(j/8), j = m mod 8
        ANDB #7
        LDA #8
        MUL
        LDX #fc_exp2j
        ABX
        JSR fp_argd
        JSR fp_mul
        PULS D              ; times 2^(m div 8)
        ASRA
        RORB
        ASRA
        RORB
        ASRA
        RORB
        STD FPT
        CLRA
        LDB FACEXP
        ADDD FPT
        BLE .zero
        TSTA
        BNE .ovf
        STB FACEXP
        JMP fpfend
.one    LDX #fc_one
        JSR fp_ldd
        JMP fpfend
.zero   JSR fpzero
        JMP fpfend
.ovf    LDB #6
        JMP fpferr

* ---------------------------------------------------------------- LOG
fp_log  JSR fpfbeg
        LDA FACEXP
        LBEQ .bad
        TST FACSGN
        LBMI .bad
        LDB FACEXP
        SUBB #$80
        STB FPQ             ; the binary exponent e
        LDA #$80
        STA FACEXP          ; m in .5 .. 1
        LDX #fc_sqh
        JSR fp_argd
        JSR fp_cmp
        CMPB #1
        BNE .ge
        INC FACEXP          ; below sqrt(1/2): 2m, e - 1
        DEC FPQ
.ge     LDX #FPT1
        JSR fp_std
        LDA FACEXP          ; j = 16m rounded
        ADDA #4
        STA FACEXP
        JSR fp_toint
        PSHS B
        CLRA
        JSR fp_fromint
        LDA FACEXP
        SUBA #4
        STA FACEXP
        LDX #FPT2
        JSR fp_std          ; c = j/16
        LDX #FPT1
        JSR fp_argd
        JSR fp_add
        LDX #FPT3
        JSR fp_std          ; m + c
        LDX #FPT2
        JSR fp_ldd
        LDX #FPT1
        JSR fp_argd
        JSR fp_sub          ; m - c
        JSR fp_fac2arg
        LDX #FPT3
        JSR fp_ldd
        JSR fp_div          ; s
        LDX #FPT1
        JSR fp_std
        JSR fpsq
        LDX #fc_log
        JSR fppoly
        LDX #FPT1
        JSR fp_argd
        JSR fp_mul          ; ln(m/c)
        PULS B
        SUBB #11
        LDA #8
        MUL
        LDX #fc_lnj
        LEAX D,X
        JSR fp_argd
        JSR fp_add          ; + ln c
        LDX #FPT1
        JSR fp_std
        LDB FPQ
        SEX
        JSR fp_fromint
        LDX #FPT2
        JSR fp_std
        LDX #fc_ln2b
        JSR fp_argd
        JSR fp_mul
        LDX #FPT1
        JSR fp_argd
        JSR fp_add
        LDX #FPT1
        JSR fp_std
        LDX #FPT2
        JSR fp_ldd
        LDX #fc_ln2a
        JSR fp_argd
        JSR fp_mul
        LDX #FPT1
        JSR fp_argd
        JSR fp_add          ; + e ln2
        JMP fpfend
.bad    LDB #5
        JMP fpferr

* ---------------------------------------------------------------- power
* FAC := ARG ^ FAC.
fp_pow  LDA FACEXP
        BNE .y
        LDX #fc_one          ; x^0 = 1
        JSR fp_ldd
        CLRA
        RTS
.y      LDA ARGEXP
        BNE .x
        TST FACSGN          ; 0^y: 0, or Division by zero for y < 0
        LBPL fpzero
        LDB #11
        COMA
        RTS
.x      LDA FACEXP          ; x^2: one correctly rounded multiply
        CMPA #$82
        BNE .x1
        LDD FACMAN
        CMPD #$8000
        BNE .x1
        LDD FACMAN+2
        BNE .x1
        LDD FACMAN+4
        BNE .x1
        LDA FACMAN+6
        BNE .x1
        TST FACSGN
        BMI .x1
        JSR fp_swap
        JSR fp_fac2arg
        JMP fp_mul
.x1     JSR fpfbeg
        LDX #FPSAV2         ; y, where LOG and EXP leave it alone
        JSR fp_std
        JSR fp_swap
        LDX #FPT3
        JSR fp_std          ; x
        JSR fp_swap
        JSR fp_fix
        LDA FPSTK
        BNE .real
        JSR fp_toint
        BCS .real
        STD FPSC
        BPL .pos
        COMA                ; x^-n = (1/x)^n
        COMB
        ADDD #1
        STD FPSC
        LDX #FPT3
        JSR fp_ldd
        LDX #fc_one
        JSR fp_argd
        JSR fp_div
        LBCS .err
        LDX #FPT3
        JSR fp_std
.pos    LDX #fc_one
        JSR fp_ldd
        LDX #FPT1
        JSR fp_std
.loop   LDD FPSC
        BEQ .done
        LSRA
        RORB
        STD FPSC
        BCC .sq
        LDX #FPT1
        JSR fp_ldd
        LDX #FPT3
        JSR fp_argd
        JSR fp_mul
        BCS .err
        LDX #FPT1
        JSR fp_std
.sq     LDD FPSC
        BEQ .done
        LDX #FPT3
        JSR fp_ldd
        JSR fpsq
        BCS .err
        LDX #FPT3
        JSR fp_std
        BRA .loop
.done   LDX #FPT1
        JSR fp_ldd
        JMP fpfend
.real   LDX #FPT3           ; EXP(y LOG x), x > 0
        JSR fp_ldd
        TST FACSGN
        BMI .bad
        LDA FPFN
        PSHS A
        JSR fp_log
        PULS A
        STA FPFN
        BCS .err
        LDX #FPSAV2
        JSR fp_argd
        JSR fp_mul
        BCS .err
        LDA FPFN
        PSHS A
        JSR fp_exp
        PULS A
        STA FPFN
        BCS .err
        JMP fpfend
.bad    LDB #5
.err    JMP fpferr

* ---------------------------------------------------------------- RND
fp_rndinit
        LDD #$5D3A
        STD RNDST
        LDD #$1B47
        STD RNDST+2
        RTS

* RANDOMIZE D: the sequence starts from a state made of D.
fp_seed STD RNDST
        EORA #$5D
        EORB #$3A
        STD RNDST+2
        RTS

* FAC := RND(FAC).
fp_rnd  LDA FACEXP
        BEQ fprndout          ; RND(0): the last number again
        TST FACSGN
        BPL .next
        LDX #RNDST          ; negative: a state made of the number
        JSR fp_sts
        LDD RNDST
        EORA #$5D
        EORB #$3A
        STD RNDST
.next   BSR fprndnx
* FAC := the state's top 24 bits as a fraction.
fprndout JSR fpsetn
        CLR FPSGN
        CLR FPEXP
        LDA #$80
        STA FPEXP+1
        LDD RNDST
        STD FACMAN
        LDA RNDST+2
        STA FACMAN+2
        LDD #0
        STD FACMAN+3
        STD FACMAN+5
        JMP fpnorm

* state := state x 1664525 + 1013904223, the low 32 bits of the product
* built in FPP..FPP+3 row by row.
fprndnx PSHS Y,U
        LDD #0
        STD FPP
        STD FPP+2
        LDU #RNDST+4
        LDB #4
        STB FPCNT           ; 4 - i: bytes of the row that count
.row    LDA ,-U
        STA FPT             ; state byte i (from the low end)
        CLR FPT+1
        LDX #FPP
        LDB FPCNT
        ABX
        LDY #fprndmul+4
        STB FPCNT+1
.col    LDA FPT
        LDB ,-Y
        MUL
        ADDB ,-X
        ADCA #0
        ADDB FPT+1
        ADCA #0
        STB ,X
        STA FPT+1
        DEC FPCNT+1
        BNE .col
        DEC FPCNT
        BNE .row
        LDD FPP+2
        ADDD #$F35F
        STD RNDST+2
        LDD FPP
        ADCB #$6E
        ADCA #$3C
        STD RNDST
        PULS Y,U,PC
fprndmul FCB $00,$19,$66,$0D

* ---------------------------------------------------------------- constants
fc_pi2s1
        FCB $81,$49,$0F,$00,$00,$00,$00,$00   ; pi/2 in three parts for a single: 16 bits,
fc_pi2s2
        FCB $71,$5A,$A2,$00,$00,$00,$00,$00   ; 16 more,
fc_pi2s3
        FCB $5F,$05,$A3,$08,$D3,$13,$19,$8A   ; the rest
fc_l8s1
        FCB $7D,$31,$72,$10,$00,$00,$00,$00   ; ln 2/8 for a single: 21 bits,
fc_l8s2
        FCB $68,$7E,$FA,$39,$EF,$35,$79,$3C   ; the rest
fc_one
        FCB $81,$00,$00,$00,$00,$00,$00,$00
fc_half
        FCB $80,$00,$00,$00,$00,$00,$00,$00
fc_2pi
        FCB $80,$22,$F9,$83,$6E,$4E,$44,$15   ; 2/pi
fc_pi2a
        FCB $81,$49,$0F,$DA,$A0,$00,$00,$00   ; pi/2, its first 28 bits
fc_pi2b
        FCB $63,$08,$5A,$30,$8D,$31,$31,$99   ; pi/2, the rest
fc_pi2
        FCB $81,$49,$0F,$DA,$A2,$21,$68,$C2
fc_8ln2
        FCB $84,$38,$AA,$3B,$29,$5C,$17,$F1   ; 8/ln 2
fc_l8a
        FCB $7D,$31,$72,$17,$F7,$D1,$00,$00   ; ln 2/8, its first 40 bits
fc_l8b
        FCB $55,$4F,$79,$AB,$C9,$E3,$B3,$98   ; ln 2/8, the rest
fc_ln2a
        FCB $80,$31,$72,$17,$F7,$D1,$00,$00   ; ln 2, its first 40 bits
fc_ln2b
        FCB $58,$4F,$79,$AB,$C9,$E3,$B3,$98   ; ln 2, the rest
fc_sqh
        FCB $80,$35,$04,$F3,$33,$F9,$DE,$65   ; sqrt(1/2)
fc_expmax
        FCB $87,$30,$0F,$33,$C7,$E2,$2B,$DB   ; ln of the largest number
fc_expmin
        FCB $87,$B2,$D4,$FC,$27,$C1,$73,$19   ; below this EXP is 0
* atn(j/8), j = 0..8
fc_atnj
        FCB $00,$00,$00,$00,$00,$00,$00,$00
        FCB $7D,$7E,$AD,$D4,$D5,$61,$7B,$6E
        FCB $7E,$7A,$DB,$AF,$C9,$64,$06,$EB
        FCB $7F,$37,$B0,$CA,$0F,$26,$F7,$84
        FCB $7F,$6D,$63,$38,$2B,$0D,$DA,$7B
        FCB $80,$0F,$00,$5D,$5E,$F7,$F5,$A0
        FCB $80,$24,$BC,$7D,$19,$34,$F7,$09
        FCB $80,$38,$05,$3E,$2B,$C2,$31,$9E
        FCB $80,$49,$0F,$DA,$A2,$21,$68,$C2
* 2^(j/8), j = 0..7
fc_exp2j
        FCB $81,$00,$00,$00,$00,$00,$00,$00
        FCB $81,$0B,$95,$C1,$E3,$EA,$8B,$D7
        FCB $81,$18,$37,$F0,$51,$8D,$B8,$A9
        FCB $81,$25,$FE,$D6,$A9,$B1,$51,$39
        FCB $81,$35,$04,$F3,$33,$F9,$DE,$65
        FCB $81,$45,$67,$2A,$11,$55,$06,$DB
        FCB $81,$57,$44,$FC,$CA,$D6,$9D,$6B
        FCB $81,$6A,$C0,$C6,$E7,$DD,$24,$39
* ln(j/16), j = 11..23
fc_lnj
        FCB $7F,$BF,$D7,$D1,$DE,$C0,$A8,$DF
        FCB $7F,$93,$4B,$10,$89,$A6,$DC,$94
        FCB $7E,$D4,$9F,$69,$E4,$56,$CF,$1B
        FCB $7E,$88,$BC,$74,$11,$3F,$23,$DF
        FCB $7D,$84,$2C,$C5,$AC,$F1,$D0,$34
        FCB $00,$00,$00,$00,$00,$00,$00,$00
        FCB $7C,$78,$51,$86,$00,$8B,$15,$33
        FCB $7D,$71,$38,$3B,$71,$57,$97,$2F
        FCB $7E,$2F,$F9,$83,$85,$3C,$9E,$9E
        FCB $7E,$64,$7F,$BE,$3C,$D4,$D1,$0D
        FCB $7F,$0B,$3A,$E5,$5D,$5D,$30,$70
        FCB $7F,$23,$0C,$5E,$10,$E2,$F6,$14
        FCB $7F,$39,$CE,$BF,$B5,$DE,$80,$35
* sin r = r (1 - z/3! + z^2/5! ...), z = r^2
fc_sin  FCB 5,9
        FCB $50,$4A,$96,$3B,$81,$85,$6A,$53
        FCB $58,$D7,$3F,$9F,$39,$9D,$C0,$F9
        FCB $60,$30,$92,$30,$9D,$43,$68,$4C
        FCB $67,$D7,$32,$2B,$3F,$AA,$27,$1C
        FCB $6E,$38,$EF,$1D,$2A,$B6,$39,$9C
        FCB $74,$D0,$0D,$00,$D0,$0D,$00,$D0
        FCB $7A,$08,$88,$88,$88,$88,$88,$89
        FCB $7E,$AA,$AA,$AA,$AA,$AA,$AA,$AB
        FCB $81,$00,$00,$00,$00,$00,$00,$00
* cos r = 1 - z/2! + z^2/4! ...
fc_cos  FCB 6,10
        FCB $4C,$B4,$13,$C3,$1D,$CB,$EC,$BC
        FCB $54,$57,$3F,$9F,$39,$9D,$C0,$F9
        FCB $5C,$C9,$CB,$A5,$46,$03,$E4,$E9
        FCB $64,$0F,$76,$C7,$7F,$C6,$C4,$BE
        FCB $6B,$93,$F2,$7D,$BB,$C4,$FA,$E4
        FCB $71,$50,$0D,$00,$D0,$0D,$00,$D0
        FCB $77,$B6,$0B,$60,$B6,$0B,$60,$B6
        FCB $7C,$2A,$AA,$AA,$AA,$AA,$AA,$AB
        FCB $80,$80,$00,$00,$00,$00,$00,$00
        FCB $81,$00,$00,$00,$00,$00,$00,$00
* atn r = r (1 - z/3 + z^2/5 ...)
fc_atn  FCB 4,8
        FCB $7D,$88,$88,$88,$88,$88,$88,$89
        FCB $7D,$1D,$89,$D8,$9D,$89,$D8,$9E
        FCB $7D,$BA,$2E,$8B,$A2,$E8,$BA,$2F
        FCB $7D,$63,$8E,$38,$E3,$8E,$38,$E4
        FCB $7E,$92,$49,$24,$92,$49,$24,$92
        FCB $7E,$4C,$CC,$CC,$CC,$CC,$CC,$CD
        FCB $7F,$AA,$AA,$AA,$AA,$AA,$AA,$AB
        FCB $81,$00,$00,$00,$00,$00,$00,$00
* e^r = 1 + r + r^2/2! ...
fc_exp  FCB 6,10
        FCB $6E,$38,$EF,$1D,$2A,$B6,$39,$9C
        FCB $71,$50,$0D,$00,$D0,$0D,$00,$D0
        FCB $74,$50,$0D,$00,$D0,$0D,$00,$D0
        FCB $77,$36,$0B,$60,$B6,$0B,$60,$B6
        FCB $7A,$08,$88,$88,$88,$88,$88,$89
        FCB $7C,$2A,$AA,$AA,$AA,$AA,$AA,$AB
        FCB $7E,$2A,$AA,$AA,$AA,$AA,$AA,$AB
        FCB $80,$00,$00,$00,$00,$00,$00,$00
        FCB $81,$00,$00,$00,$00,$00,$00,$00
        FCB $81,$00,$00,$00,$00,$00,$00,$00
* ln((1+s)/(1-s)) = s (2 + 2z/3 + 2z^2/5 ...)
fc_log  FCB 3,7
        FCB $7E,$1D,$89,$D8,$9D,$89,$D8,$9E
        FCB $7E,$3A,$2E,$8B,$A2,$E8,$BA,$2F
        FCB $7E,$63,$8E,$38,$E3,$8E,$38,$E4
        FCB $7F,$12,$49,$24,$92,$49,$24,$92
        FCB $7F,$4C,$CC,$CC,$CC,$CC,$CC,$CD
        FCB $80,$2A,$AA,$AA,$AA,$AA,$AA,$AB
        FCB $82,$00,$00,$00,$00,$00,$00,$00
