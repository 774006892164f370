* fpmath.asm: the BASIC's functions of numbers: SQR SIN COS TAN ATN EXP LOG,
* the power operator, and the random sequence of RND.
*
* Entry points: fp_sqr fp_sin fp_cos fp_tan fp_atn fp_exp fp_log fp_pow
*   fp_rnd fp_seed fp_rndinit
* Registers: A, B, X and CC change; Y, U and S are kept. DP must be $70.
* Work bytes: RNDST (the random state), FPSAV3 (numbers kept meanwhile).
*
* The random sequence is a 32-bit linear congruential generator,
* state := state x 1664525 + 1013904223 (mod 2^32), whose top 24 bits are
* the fraction RND returns. A cold start sets the same state every time.

        SETDP $70

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
        BEQ rndout          ; RND(0): the last number again
        TST FACSGN
        BPL .next
        LDX #RNDST          ; negative: a state made of the number
        JSR fp_sts
        LDD RNDST
        EORA #$5D
        EORB #$3A
        STD RNDST
.next   BSR rndnext
* FAC := the state's top 24 bits as a fraction.
rndout  JSR fpsetn
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
rndnext PSHS Y,U
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
        LDY #rndmul+4
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
rndmul  FCB $00,$19,$66,$0D
