* float.asm: the number package's core: loading and storing packed numbers,
* normalising and rounding, the four operations, comparison, sign, and the
* conversions between numbers and 16-bit integers.
*
* Entry points (float.inc has the formats and calling rules):
*   fp_init fp_lds fp_ldd fp_args fp_argd fp_sts fp_std fp_fac2arg fp_swap
*   fp_add fp_sub fp_mul fp_div fp_cmp fp_sgn fp_neg fp_abs fp_int fp_fix
*   fp_fromint fp_fromuint fp_toint fp_touint fp_round
* Registers: A, B, X and CC change; Y, U and S are kept. DP must be $70.
* The two-operand operations leave ARG undefined.
*
* Work bytes (direct page, see float.inc): FPSGN, FPASG, FPSTK, FPN, FPCNT,
* FPEXP, FPT, FPP; FPSAV (a copy of FAC while fp_sts rounds a double).
*
* How the operations work: the sign bytes are moved aside into FPSGN/FPASG,
* so that the byte after the mantissa (FAC+4 for a single, FAC+8 for a
* double) serves as the guard byte the result is rounded from. Bits shifted
* out below the guard byte are remembered as a "sticky" 1 in its lowest bit,
* which makes the rounding to nearest (ties to even) come out right. The
* exponent of a result is kept in 16 bits (FPEXP) until fpnorm has checked
* its range: below 1 the result is 0, above 255 the operation fails with
* Overflow. Singles take the short paths with the mantissa in registers;
* doubles go through the byte loops, FPN holding the mantissa length.

        SETDP $70

* ---------------------------------------------------------------- start
fp_init CLR FPSGN
        LDA #4
        STA FPREC
        CLR FACEXP
        CLR ARGEXP
        JMP fp_rndinit

* ---------------------------------------------------------------- loads
* FAC := the single at X.
fp_lds  LDD ,X
        STA FACEXP
        SEX                 ; A = $FF for a negative number
        STA FACSGN
        ORB #$80            ; the hidden leading 1
        STB FACMAN
        LDD 2,X
        STD FACMAN+1
        LDD #0
        STD FACMAN+3
        STD FACMAN+5
        STA FACRND
        RTS

* FAC := the double at X: the single, then the four bytes below it.
fp_ldd  BSR fp_lds
        LDD 4,X
        STD FACMAN+3
        LDD 6,X
        STD FACMAN+5
        RTS

* ARG := the single at X.
fp_args LDD ,X
        STA ARGEXP
        SEX
        STA ARGSGN
        ORB #$80
        STB ARGMAN
        LDD 2,X
        STD ARGMAN+1
        LDD #0
        STD ARGMAN+3
        STD ARGMAN+5
        STA ARGRND
        RTS

* ARG := the double at X.
fp_argd BSR fp_args
        LDD 4,X
        STD ARGMAN+3
        LDD 6,X
        STD ARGMAN+5
        RTS

* ---------------------------------------------------------------- stores
* The single at X := FAC. A double in FAC is rounded to 24 bits on the way
* (FAC itself is kept); carry/6 if that rounds beyond the largest number.
fp_sts  LDA FPREC
        CMPA #4
        BNE .dbl
        LDA FACEXP
        BEQ .zero
.pack   STA ,X
        LDB FACSGN
        ORB #$7F            ; sign bit over the mantissa's first 7 bits
        ANDB FACMAN
        STB 1,X
        LDD FACMAN+1
        STD 2,X
        CLRA
        RTS
.zero   CLRA
        CLRB
        STD ,X
        STD 2,X
        RTS
.dbl    PSHS X
        LDX #FPSAV          ; round a copy of FAC
        JSR fpsave
        LDA #4
        STA FPREC
        JSR fp_round
        LDX ,S
        LDB #6
        BCS .back           ; carry/6: it overflows
        BSR fp_sts          ; carry clear
.back   PSHS B,CC           ; the result, kept through the restore
        LDA #8
        STA FPREC
        LDX #FPSAV
        JSR fprest
        PULS CC,B,X,PC

* The double at X := FAC (a single gets four zero bytes).
fp_std  LDA FACEXP
        BEQ .zero
        BSR fp_sts.pack     ; the first four bytes as a single has them
        LDA FPREC
        CMPA #4
        BEQ .single
        LDD FACMAN+3
        STD 4,X
        LDD FACMAN+5
        STD 6,X
        CLRA
        RTS
.zero   CLRB
        STD ,X
        STD 2,X
.single CLRA
        CLRB
        STD 4,X
        STD 6,X
        RTS

* Copies of the whole FAC (10 bytes) to and from X.
fpsave  PSHS U
        LDU #FAC
        BRA fpcopy
fprest  PSHS U
        LDU #FAC
        EXG X,U
fpcopy  LDD ,U
        STD ,X
        LDD 2,U
        STD 2,X
        LDD 4,U
        STD 4,X
        LDD 6,U
        STD 6,X
        LDD 8,U
        STD 8,X
        PULS U,PC

* ---------------------------------------------------------------- moves
fp_fac2arg
        LDD FAC
        STD ARG
        LDD FAC+2
        STD ARG+2
        LDD FAC+4
        STD ARG+4
        LDD FAC+6
        STD ARG+6
        LDD FAC+8
        STD ARG+8
        RTS

fp_swap LDD FAC
        LDX ARG
        STD ARG
        STX FAC
        LDD FAC+2
        LDX ARG+2
        STD ARG+2
        STX FAC+2
        LDD FAC+4
        LDX ARG+4
        STD ARG+4
        STX FAC+4
        LDD FAC+6
        LDX ARG+6
        STD ARG+6
        STX FAC+6
        LDD FAC+8
        LDX ARG+8
        STD ARG+8
        STX FAC+8
        RTS

* ---------------------------------------------------------------- signs
fp_sgn  LDB FACEXP
        BEQ .r
        LDB FACSGN
        ORB #1              ; $FF or 1
.r      RTS

fp_neg  LDA FACEXP
        BEQ .r
        COM FACSGN
        ANDCC #$FE
.r      RTS

fp_abs  CLR FACSGN
        RTS

* Compare ARG with FAC: B = $FF (ARG < FAC), 0 or 1.
fp_cmp  LDB FACEXP
        BNE .f
        LDB ARGEXP          ; FAC = 0: the sign of ARG decides
        BEQ .r
        LDB ARGSGN
        ORB #1
.r      RTS
.f      LDB ARGEXP
        BNE .both
        LDB FACSGN          ; ARG = 0: the opposite of FAC's sign
        COMB
        ORB #1
        RTS
.both   LDB ARGSGN
        CMPB FACSGN
        BEQ .same
        ORB #1              ; signs differ: ARG's sign decides
        RTS
.same   LDA ARGEXP
        CMPA FACEXP
        BNE .diff
        LDX #ARGMAN
        LDB FPREC
        DECB
.m      LDA ,X
        CMPA -16,X          ; FAC is 16 bytes below ARG
        BNE .diff
        LEAX 1,X
        DECB
        BNE .m
        RTS                 ; B = 0: equal
.diff   LDB #1              ; |ARG| > |FAC| when the carry is clear
        BHI .mag
        LDB #$FF
.mag    TST ARGSGN
        BPL .r2
        NEGB                ; both negative: the larger magnitude is less
.r2     RTS

* ---------------------------------------------------------------- results
* FAC := 0.
fpzero  CLRA
        CLRB
        STD FAC
        STD FAC+2
        STD FAC+4
        STD FAC+6
        STD FAC+8
        RTS

* Normalise and round the result: mantissa FAC+1..FAC+FPN, guard byte after
* it, exponent FPEXP (16 bits), sign FPSGN. Returns carry clear, or carry
* set and B = 6 on overflow.
fpnorm  LDA FACMAN
        LBMI fpround
        LDB FPN
        CMPB #3
        BEQ fpsnorm
        LDX #FACMAN
        LDB FPN
        INCB                ; bytes with the guard
        STB FPCNT
.byte   LDA ,X
        BNE .bits
        ; the first byte is zero: move the mantissa up one byte
        LDB FPN
.mv     LDA 1,X
        STA ,X+
        DECB
        BNE .mv
        CLR ,X
        LDX #FACMAN
        LDD FPEXP
        SUBD #8
        STD FPEXP
        DEC FPCNT
        BNE .byte
        BRA fpzero          ; all bytes zero
.bits   LDA FACMAN
        BMI fpround
.bit    LDX #FACMAN+1
        LDB FPN
        ABX                 ; X = one past the guard byte
        LDB FPN
        INCB
        ANDCC #$FE
.rl     ROL ,-X
        DECB
        BNE .rl
        LDD FPEXP
        SUBD #1
        STD FPEXP
        TST FACMAN
        BPL .bit
        BRA fpround
* Single: the 32 bits in FAC+1..FAC+4 shifted up with the top 16 in D.
fpsnorm LDD FACMAN
        BNE .b
        LDD FACMAN+2
        LBEQ fpzero
        STD FACMAN
        CLR FACMAN+2
        CLR FACMAN+3
        LDD FPEXP
        SUBD #16
        STD FPEXP
        LDD FACMAN
.b      TSTA
        BNE .bits
        TFR B,A
        LDB FACMAN+2
        PSHS A
        LDA FACMAN+3
        STA FACMAN+2
        CLR FACMAN+3
        PULS A
        STD FACMAN
        LDD FPEXP
        SUBD #8
        STD FPEXP
        LDD FACMAN
        BMI .done
.bits   CLR FPCNT
.l      INC FPCNT
        LSL FACMAN+3
        ROL FACMAN+2
        ROLB
        ROLA
        BPL .l
        STD FACMAN
        LDD FPEXP
        SUBB FPCNT
        SBCA #0
        STD FPEXP
        BRA fpround
.done   STD FACMAN
* Round to nearest from the guard byte (sticky bits already folded in).
fpround LDB FPN
        CMPB #3
        BNE .gen
        LDA FACMAN+3        ; single: the guard is FAC+4
        BPL .sdone
        ANDA #$7F
        BNE .sup
        LDA FACMAN+2
        LSRA
        BCC .sdone
.sup    LDD FACMAN+1
        ADDD #1
        STD FACMAN+1
        BCC .sdone
        INC FACMAN
        BNE .sdone
        LDA #$80
        STA FACMAN
        LDD FPEXP
        ADDD #1
        STD FPEXP
.sdone  LDD FPEXP
        LBLE fpzero
        TSTA
        LBNE fpovf
        STB FACEXP
        LDA FPSGN
        STA FACSGN
        CLRA
        CLRB
        STD FACMAN+3
        STD FACMAN+5
        STA FACRND
        RTS
.gen    LDX #FACMAN
        LDB FPN
        LDA B,X             ; the guard byte
        BPL .done
        ANDA #$7F
        BNE .up
        DECB                ; exactly half: round to even
        LDA B,X
        INCB
        LSRA
        BCC .done
.up     ABX                 ; X = the guard byte
.inc    INC ,-X
        BNE .done
        DECB
        BNE .inc
        LDA #$80            ; 0.1111... rounded up to 1.0
        STA FACMAN
        LDD FPEXP
        ADDD #1
        STD FPEXP
.done   LDX #FACMAN
        LDB FPN
        CLR B,X             ; the guard byte (FAC+8 of a double: sign below)
        LDD FPEXP
        LBLE fpzero          ; underflow: 0
        TSTA
        BNE fpovf
        STB FACEXP
        LDB FPN
        CMPB #8
        BEQ .ok             ; 64 bits: the sign stays in FPSGN
        LDA FPSGN
        STA FACSGN
        CLR FACRND
        CMPB #3
        BNE .ok
        LDD #0              ; a single has nothing below its mantissa
        STD FACMAN+4
        STA FACMAN+6
.ok     CLRA
        RTS
fpovf   LDB #6
        COMA
        RTS

* Round FAC to the precision FPREC (FAC+9 and, for a single, FAC+4..FAC+7
* are the bits below it).
fp_round
        LDA FACEXP
        BEQ .z
        LDA FPREC
        CMPA #5
        BEQ .z              ; the functions' 32-bit work precision
        LDA FACSGN
        STA FPSGN
        CLR FPEXP
        LDA FACEXP
        STA FPEXP+1
        LDB FPREC
        DECB
        STB FPN
        CMPB #3
        BEQ .s
        LDA FACRND
        STA FACMAN+7        ; the guard of a double
        LBRA fpround
.s      LDA FACMAN+4
        ORA FACMAN+5
        ORA FACMAN+6
        ORA FACRND
        LBEQ fpround
        LDA FACMAN+3
        ORA #1
        STA FACMAN+3
        LBRA fpround
.z      CLRA
        RTS

* Set FPN from FPREC.
fpsetn  LDB FPREC
        DECB
        STB FPN
        RTS

* ---------------------------------------------------------------- add
* FAC := ARG - FAC
fp_sub  COM FACSGN
* FAC := ARG + FAC
fp_add  LDB FPREC
        DECB
        STB FPN
        LDA ARGEXP
        LBEQ .fac            ; x + 0
        LDA FACEXP
        LBEQ .arg           ; 0 + y
        LDA FACSGN
        STA FPSGN
        LDA ARGSGN
        STA FPASG
        CLR FPSTK
        CMPB #3
        LBEQ fpsadd
        LDB FACEXP
        SUBB ARGEXP
        BHS .ord
        NEGB
        PSHS B
        JSR fpswapm           ; the larger number into FAC
        LDD FPSGN
        EXG A,B
        STD FPSGN
        PULS B
.ord    LDX #FACMAN
        LDA FPN
        CLR A,X             ; guard bytes
        LEAX $10,X
        CLR A,X
        LSLA
        LSLA
        LSLA
        INCA                ; 8n+1: beyond that ARG cannot change FAC
        PSHS A
        CMPB ,S+
        LBHI .fin
.byt    CMPB #8
        BLO .bits
        LDX #ARGMAN
        LDA FPN
        LDA A,X             ; the guard byte leaves
        ORA FPSTK
        STA FPSTK
        LDX #ARGMAN
        LDA FPN
        LEAX A,X            ; X = ARG's guard byte
.mv     PSHS A
        LDA -1,X
        STA ,X
        LEAX -1,X
        PULS A
        DECA
        BNE .mv
        CLR ,X
        SUBB #8
        BRA .byt
.bits   TSTB
        BEQ .shifted
.bit    LDX #ARGMAN
        LDA FPN
        INCA
        ANDCC #$FE
.r      ROR ,X+
        DECA
        BNE .r
        BCC .nc
        INC FPSTK
        BNE .nc
        DEC FPSTK
.nc     DECB
        BNE .bit
.shifted
        LDA FPSTK           ; bits below the guard: a sticky 1
        BEQ .add
        LDX #ARGMAN
        LDB FPN
        LDA B,X
        ORA #1
        STA B,X
.add    CLR FPEXP
        LDA FACEXP
        STA FPEXP+1
        LDA FPSGN
        CMPA FPASG
        BNE .sub
        JSR fpmadd
        LBCC fpnorm
        LDX #FACMAN         ; carry out: one bit right, the carry on top
        LDB FPN
        INCB
.rr     ROR ,X+
        DECB
        BNE .rr
        BCC .nc2
        LDA -1,X
        ORA #1
        STA -1,X
.nc2    LDD FPEXP
        ADDD #1
        STD FPEXP
        JMP fpnorm
.sub    JSR fpmsub
        LBCC fpnorm
        COM FPSGN           ; ARG was larger: negate the difference
        LDX #FACMAN+1
        LDB FPN
        ABX
        INCB
        ANDCC #$FE
.ng     LDA #0
        SBCA ,-X
        STA ,X
        DECB
        BNE .ng
        JMP fpnorm
.fin    CLR FPEXP           ; ARG too small to matter
        LDA FACEXP
        STA FPEXP+1
        JMP fpnorm
.fac    CLRA
        RTS
.arg    JSR fp_swap         ; the result is ARG
        CLR FACRND
        LDA FPN
        CMPA #3
        BNE .ok
        LDD #0
        STD FACMAN+3
        STD FACMAN+5
.ok     CLRA
        RTS

* Exchange exponent and mantissa (FPN bytes) of FAC and ARG.
fpswapm LDX #FAC
        LDB FPN
        INCB
.l      LDA ,X
        PSHS A
        LDA $10,X
        STA ,X+
        PULS A
        STA $0F,X
        DECB
        BNE .l
        RTS

* FAC mantissa and guard += ARG's; carry out in C.
fpmadd  LDX #FACMAN+1
        LDB FPN
        ABX                 ; one past the guard byte
        INCB
        ANDCC #$FE
.l      LDA ,-X
        ADCA $10,X
        STA ,X
        DECB
        BNE .l
        RTS

* FAC mantissa and guard -= ARG's; borrow out in C.
fpmsub  LDX #FACMAN+1
        LDB FPN
        ABX
        INCB
        ANDCC #$FE
.l      LDA ,-X
        SBCA $10,X
        STA ,X
        DECB
        BNE .l
        RTS

* Single add: signs in FPSGN/FPASG, FPSTK = 0. The smaller number's
* mantissa is shifted right in FPT..FPT+3 (24 bits and the guard byte).
fpsadd  LDB FACEXP
        SUBB ARGEXP
        BHS .ord
        NEGB                ; FAC is the smaller: exchange
        PSHS B
        LDX FAC
        LDD ARG
        STD FAC
        STX ARG
        LDX FAC+2
        LDD ARG+2
        STD FAC+2
        STX ARG+2
        LDD FPSGN
        EXG A,B
        STD FPSGN
        PULS B
.ord    CMPB #25
        LBHI .far
        LDX ARGMAN+1
        STX FPT+1
        LDA ARGMAN
        STA FPT
        CLR FPT+3
.byte   CMPB #8
        BLO .bits
        LDA FPT+3
        ORA FPSTK
        STA FPSTK
        LDA FPT+2
        STA FPT+3
        LDX FPT
        STX FPT+1
        CLR FPT
        SUBB #8
        BRA .byte
.bits   TSTB
        BEQ .aligned
.bl     LSR FPT
        ROR FPT+1
        ROR FPT+2
        ROR FPT+3
        BCC .bn
        LDA #1
        STA FPSTK
.bn     DECB
        BNE .bl
.aligned
        LDA FPSTK           ; bits below the guard: a sticky 1
        BEQ .ns
        LDA FPT+3
        ORA #1
        STA FPT+3
.ns     CLR FPEXP
        LDA FACEXP
        STA FPEXP+1
        LDA FPSGN
        CMPA FPASG
        BNE .sub
        LDA FPT+3
        STA FACMAN+3
        LDD FACMAN+1
        ADDD FPT+1
        STD FACMAN+1
        LDA FACMAN
        ADCA FPT
        STA FACMAN
        BCC .norm
        ROR FACMAN          ; the carry comes in on top
        ROR FACMAN+1
        ROR FACMAN+2
        ROR FACMAN+3
        BCC .nc
        LDA FACMAN+3
        ORA #1
        STA FACMAN+3
.nc     LDD FPEXP
        ADDD #1
        STD FPEXP
        JMP fpnorm
.sub    CLRA
        SUBA FPT+3
        STA FACMAN+3
        LDD FACMAN+1
        SBCB FPT+2
        SBCA FPT+1
        STD FACMAN+1
        LDA FACMAN
        SBCA FPT
        STA FACMAN
        BCC .norm
        COM FPSGN           ; ARG was the larger (same exponent): negate
        LDD #0
        SUBD FACMAN+2
        STD FACMAN+2
        LDD #0
        SBCB FACMAN+1
        SBCA FACMAN
        STD FACMAN
.norm   JMP fpnorm
.far    CLR FACMAN+3        ; ARG cannot change FAC
        CLR FPEXP
        LDA FACEXP
        STA FPEXP+1
        JMP fpnorm

* ---------------------------------------------------------------- multiply
* FAC := ARG * FAC. The product of the mantissas is built in FPP (2n bytes),
* one row of partial products per byte of FAC.
fp_mul  JSR fpsetn
        LDA ARGEXP
        LBEQ fpzero
        LDA FACEXP
        LBEQ fpzero
        LDA FACSGN
        EORA ARGSGN
        STA FPSGN
        CLRA
        LDB FACEXP
        ADDB ARGEXP
        ADCA #0
        SUBD #$80
        STD FPEXP
        LDB FPN
        CMPB #3
        LBEQ fpsmul
        CMPB #4
        LBEQ fpmul4
fpmulg  PSHS U
        LDX #FPP
        LDB #16
.clr    CLR ,X+
        DECB
        BNE .clr
        LDB FPN
        STB FPCNT           ; i + 1, FAC's byte i from the last
.row    LDX #FACMAN-1
        LDA B,X
        STA FPT             ; the multiplier byte
        CLR FPT+1           ; carry between columns
        LDX #FPP
        ABX
        LDB FPN
        DECB
        ABX                 ; X = P[i+n]
        LDU #ARGMAN
        LDB FPN
        LEAU B,U            ; U = one past ARG's last byte
        STB FPCNT+1
.col    LDA FPT
        LDB ,-U
        MUL
        ADDB ,X
        ADCA #0
        ADDB FPT+1
        ADCA #0
        STB ,X
        STA FPT+1
        LEAX -1,X
        DEC FPCNT+1
        BNE .col
        STA ,X              ; the row's carry: P[i]
        DEC FPCNT
        LDB FPCNT
        BNE .row
        PULS U
        ; mantissa, guard and sticky from P
        LDX #FPP
        LDB FPN
        INCB
.cp     LDA ,X+
        STA FACMAN-FPP-1,X
        DECB
        BNE .cp
        LDB FPN
        DECB                ; falls into fpstkor

* Any of the B bytes at X nonzero: bits below the guard byte, a sticky 1 in
* its lowest bit; then normalise and round.
fpstkor CLRA
.or     ORA ,X+
        DECB
        BNE .or
        TSTA
        BEQ .n
        LDX #FACMAN
        LDB FPN
        LDA B,X
        ORA #1
        STA B,X
.n      JMP fpnorm

* FAC := ARG * FAC with 64-bit mantissas (FPXN = 8: FAC+1..FAC+8, guard
* FAC+9), both positive and nonzero: the scaling of numbers to and from
* text, which must keep more bits than a double has. FPXN = 4 (32 bits) is
* enough for the 7 digits of a single.
fpxmul  LDA FPXN
        STA FPN
        CLR FPSGN
        CLRA
        LDB FACEXP
        ADDB ARGEXP
        ADCA #0
        SUBD #$80
        STD FPEXP
        LDB FPN
        CMPB #4
        LBEQ fpmul4
        LBRA fpmulg

* Multiply with 32-bit mantissas (the functions' work precision for a
* single result, and the text scaling of singles), column by column as
* fpsmul does: fpmac adds one term to the column sum FPT..FPT+2, fpcol
* stores a finished column's low byte at -X (FPP+6 down to FPP+2).
fpmul4  LDA FACMAN+3
        LDB ARGMAN+3
        MUL
        STB FPP+7
        TFR A,B
        CLRA
        STD FPT+1
        CLR FPT
        LDX #FPP+7
        LDA FACMAN+3
        LDB ARGMAN+2
        BSR fpmac
        LDA FACMAN+2
        LDB ARGMAN+3
        BSR fpmac
        BSR fpcol
        LDA FACMAN+3
        LDB ARGMAN+1
        BSR fpmac
        LDA FACMAN+2
        LDB ARGMAN+2
        BSR fpmac
        LDA FACMAN+1
        LDB ARGMAN+3
        BSR fpmac
        BSR fpcol
        LDA FACMAN+3
        LDB ARGMAN
        BSR fpmac
        LDA FACMAN+2
        LDB ARGMAN+1
        BSR fpmac
        LDA FACMAN+1
        LDB ARGMAN+2
        BSR fpmac
        LDA FACMAN
        LDB ARGMAN+3
        BSR fpmac
        BSR fpcol
        LDA FACMAN+2
        LDB ARGMAN
        BSR fpmac
        LDA FACMAN+1
        LDB ARGMAN+1
        BSR fpmac
        LDA FACMAN
        LDB ARGMAN+2
        BSR fpmac
        BSR fpcol
        LDA FACMAN+1
        LDB ARGMAN
        BSR fpmac
        LDA FACMAN
        LDB ARGMAN+1
        BSR fpmac
        BSR fpcol
        LDA FACMAN
        LDB ARGMAN
        BSR fpmac
        LDD FPT+1
        STD FACMAN
        LDD FPP+2
        STD FACMAN+2
        LDA FPP+4
        STA FACMAN+4        ; the guard
        LDA FPP+5
        ORA FPP+6
        ORA FPP+7
        BEQ .ns
        LDA FACMAN+4
        ORA #1
        STA FACMAN+4
.ns     JMP fpnorm
fpmac   MUL
        ADDD FPT+1
        STD FPT+1
        BCC .r
        INC FPT
.r      RTS
fpcol   LDB FPT+2
        STB ,-X
        LDD FPT
        STD FPT+1
        CLR FPT
        RTS

* Single multiply: the product's columns summed in FPT..FPT+2 (24 bits),
* the bytes below the mantissa kept in FPP+2..FPP+5.
fpsmul  LDA FACMAN+2
        LDB ARGMAN+2
        MUL
        STB FPP+5
        TFR A,B
        CLRA
        STD FPT+1
        CLR FPT
        LDA FACMAN+2
        LDB ARGMAN+1
        MUL
        ADDD FPT+1
        STD FPT+1
        BCC *+4
        INC FPT
        LDA FACMAN+1
        LDB ARGMAN+2
        MUL
        ADDD FPT+1
        STD FPT+1
        BCC *+4
        INC FPT
        LDB FPT+2
        STB FPP+4
        LDD FPT
        STD FPT+1
        CLR FPT
        LDA FACMAN+2
        LDB ARGMAN
        MUL
        ADDD FPT+1
        STD FPT+1
        BCC *+4
        INC FPT
        LDA FACMAN+1
        LDB ARGMAN+1
        MUL
        ADDD FPT+1
        STD FPT+1
        BCC *+4
        INC FPT
        LDA FACMAN
        LDB ARGMAN+2
        MUL
        ADDD FPT+1
        STD FPT+1
        BCC *+4
        INC FPT
        LDB FPT+2
        STB FPP+3
        LDD FPT
        STD FPT+1
        CLR FPT
        LDA FACMAN+1
        LDB ARGMAN
        MUL
        ADDD FPT+1
        STD FPT+1
        BCC *+4
        INC FPT
        LDA FACMAN
        LDB ARGMAN+1
        MUL
        ADDD FPT+1
        STD FPT+1
        BCC *+4
        INC FPT
        LDB FPT+2
        STB FPP+2
        LDD FPT
        STD FPT+1
        CLR FPT
        LDA FACMAN
        LDB ARGMAN
        MUL
        ADDD FPT+1
        STD FACMAN
        LDD FPP+2
        STD FACMAN+2        ; the third byte and the guard
        LDA FPP+4
        ORA FPP+5
        BEQ .ns
        LDA FACMAN+3
        ORA #1
        STA FACMAN+3
.ns     JMP fpnorm

* ---------------------------------------------------------------- divide
* FAC := ARG / FAC, by shifting and subtracting: the divisor in FPP (n+1
* bytes, a zero byte on top), the remainder in FPP+8 (n+1 bytes), the
* quotient shifted into FAC's mantissa and guard.
fp_div  JSR fpsetn
        LDA FACEXP
        LBEQ .dz
        LDA ARGEXP
        LBEQ fpzero
        LDA FACSGN
        EORA ARGSGN
        STA FPSGN
        CLRA
        LDB ARGEXP
        ADDB #$81
        ADCA #0
        SUBB FACEXP
        SBCA #0
        STD FPEXP
        LDB FPN
        CMPB #3
        LBEQ fpsdiv
        CLR FPP
        CLR FPP+8
        LDX #FACMAN
        LDB FPN
.cp     LDA ,X
        STA FPP+1-FACMAN,X
        LDA $10,X
        STA FPP+9-FACMAN,X
        LEAX 1,X
        DECB
        BNE .cp
        ; the quotient's first bit must be 1: if ARG < FAC (mantissas),
        ; double the remainder and lower the exponent
        LDX #FPP+1
        LDB FPN
.c0     LDA 8,X
        CMPA ,X+
        BNE .c1
        DECB
        BNE .c0
.c1     BHS .go
        JSR fpremshl
        LDD FPEXP
        SUBD #1
        STD FPEXP
.go     LDB FPN
        INCB
        LSLB
        LSLB
        LSLB
        STB FPCNT           ; quotient bits: mantissa and guard
        LDB FPN
        CMPB #7
        LBEQ fpdiv7
        CMPB #4
        LBEQ fpdiv4
.bit    LDX #FPP
        LDB FPN
        INCB
.cmp    LDA 8,X
        CMPA ,X+
        BHI .ge
        BLO .lt
        DECB
        BNE .cmp
.ge     LDX #FPP+1
        LDB FPN
        ABX                 ; one past the divisor's last byte
        INCB
        ANDCC #$FE
.sub    LDA 7,X
        SBCA ,-X
        STA 8,X
        DECB
        BNE .sub
        COMB                ; the quotient bit: 1
        BRA .q
.lt     ANDCC #$FE
.q      LDX #FACMAN+1
        LDB FPN
        ABX
        INCB
.ql     ROL ,-X
        DECB
        BNE .ql
        JSR fpremshl
        DEC FPCNT
        BNE .bit
.end    LDX #FPP+8          ; a remainder left: sticky
        LDB FPN
        INCB
        JMP fpstkor
.dz     LDB #11
        COMA
        RTS

* Single divide: divisor in FPP+1..FPP+3, remainder FPP+8..FPP+11 (a byte
* above the 24 bits); the quotient bits are collected a byte at a time in
* FPT+4, inverted (the borrow of each trial subtraction), and stored turned
* over into FAC+1..FAC+4.
fpsdiv  LDA FACMAN
        STA FPP+1
        LDD FACMAN+1
        STD FPP+2
        CLR FPP+8
        LDA ARGMAN
        STA FPP+9
        LDD ARGMAN+1
        STD FPP+10
        LDA FPP+9           ; ARG's mantissa below FAC's: double it first
        CMPA FPP+1
        BNE .c
        LDD FPP+10
        CMPD FPP+2
.c      BHS .go
        LSL FPP+11
        ROL FPP+10
        ROL FPP+9
        ROL FPP+8
        LDD FPEXP
        SUBD #1
        STD FPEXP
.go     LDX #FACMAN         ; the quotient a byte at a time
.byte   LDA #8
        STA FPCNT
.bit    LDA FPP+8           ; remainder 2^24 or more: above the divisor
        BNE .sub
        LDA FPP+9           ; mostly the first byte decides
        CMPA FPP+1
        BHI .sub
        BLO .no             ; below: carry set, the bit 0
        LDD FPP+10          ; the first bytes equal: try the rest
        SUBD FPP+2
        STD FPT
        LDA FPP+9
        SBCA FPP+1
        BCS .no
        STA FPP+9
        LDD FPT
        STD FPP+10
        BRA .no             ; carry clear: the bit 1
.sub    LDD FPP+10
        SUBD FPP+2
        STD FPP+10
        LDA FPP+9
        SBCA FPP+1
        STA FPP+9
        LDA FPP+8
        SBCA #0
        STA FPP+8           ; carry clear: the bit 1
.no     ROL FPT+4           ; the bits come in inverted
        LSL FPP+11
        ROL FPP+10
        ROL FPP+9
        ROL FPP+8
        DEC FPCNT
        BNE .bit
        LDA FPT+4
        COMA
        STA ,X+
        CMPX #FACMAN+4
        BNE .byte
        LDD FPP+8           ; a remainder left: sticky
        BNE .st
        LDD FPP+10
        BEQ .ns
.st     LDA FACMAN+3
        ORA #1
        STA FACMAN+3
.ns     JMP fpnorm


* The same unrolled for a double (7 mantissa bytes) and for the functions'
* 32-bit work precision (4), with the bytes in place.
fpdiv7
        LDA FPP+8
        CMPA FPP
        BNE .d
        LDA FPP+9
        CMPA FPP+1
        BNE .d
        LDA FPP+10
        CMPA FPP+2
        BNE .d
        LDA FPP+11
        CMPA FPP+3
        BNE .d
        LDA FPP+12
        CMPA FPP+4
        BNE .d
        LDA FPP+13
        CMPA FPP+5
        BNE .d
        LDA FPP+14
        CMPA FPP+6
        BNE .d
        LDA FPP+15
        CMPA FPP+7
        BNE .d
        BRA .ge
.d      BLO .lt
.ge     LDD FPP+14
        SUBD FPP+6
        STD FPP+14
        LDA FPP+13
        SBCA FPP+5
        STA FPP+13
        LDA FPP+12
        SBCA FPP+4
        STA FPP+12
        LDA FPP+11
        SBCA FPP+3
        STA FPP+11
        LDA FPP+10
        SBCA FPP+2
        STA FPP+10
        LDA FPP+9
        SBCA FPP+1
        STA FPP+9
        LDA FPP+8
        SBCA FPP
        STA FPP+8
        ORCC #1             ; the quotient bit: 1
        BRA .q
.lt     ANDCC #$FE
.q      ROL FACMAN+7
        ROL FACMAN+6
        ROL FACMAN+5
        ROL FACMAN+4
        ROL FACMAN+3
        ROL FACMAN+2
        ROL FACMAN+1
        ROL FACMAN
        LSL FPP+15
        ROL FPP+14
        ROL FPP+13
        ROL FPP+12
        ROL FPP+11
        ROL FPP+10
        ROL FPP+9
        ROL FPP+8
        DEC FPCNT
        LBNE fpdiv7
        JMP fp_div.end

fpdiv4
        LDA FPP+8
        CMPA FPP
        BNE .d
        LDA FPP+9
        CMPA FPP+1
        BNE .d
        LDA FPP+10
        CMPA FPP+2
        BNE .d
        LDA FPP+11
        CMPA FPP+3
        BNE .d
        LDA FPP+12
        CMPA FPP+4
        BNE .d
        BRA .ge
.d      BLO .lt
.ge     LDD FPP+11
        SUBD FPP+3
        STD FPP+11
        LDA FPP+10
        SBCA FPP+2
        STA FPP+10
        LDA FPP+9
        SBCA FPP+1
        STA FPP+9
        LDA FPP+8
        SBCA FPP
        STA FPP+8
        ORCC #1             ; the quotient bit: 1
        BRA .q
.lt     ANDCC #$FE
.q      ROL FACMAN+4
        ROL FACMAN+3
        ROL FACMAN+2
        ROL FACMAN+1
        ROL FACMAN
        LSL FPP+12
        ROL FPP+11
        ROL FPP+10
        ROL FPP+9
        ROL FPP+8
        DEC FPCNT
        LBNE fpdiv4
        JMP fp_div.end

* The remainder (FPP+8, n+1 bytes) shifted left one bit.
fpremshl LDX #FPP+9
        LDB FPN
        ABX
        INCB
        ANDCC #$FE
.l      ROL ,-X
        DECB
        BNE .l
        RTS

* ---------------------------------------------------------------- FIX, INT
* FAC := FAC with its fraction cut off; FPSTK <> 0 if there was one.
fp_fix  CLR FPSTK
        LDA FACEXP
        BEQ .r
        CMPA #$80
        BLS .small
        SUBA #$80           ; whole-number bits
        LDB FPREC
        DECB
        LSLB
        LSLB
        LSLB
        PSHS B
        CMPA ,S+
        BHS .r              ; no fraction bits
        TFR A,B
        LSRB
        LSRB
        LSRB                ; the byte the cut is in
        LDX #FACMAN
        ABX
        ANDA #7
        PSHS X
        LDX #fpfixmsk
        LDA A,X
        PULS X
        PSHS A
        COMA
        ANDA ,X             ; the bits cut off
        STA FPSTK
        PULS A
        ANDA ,X
        STA ,X+
.cl     CMPX #FACMAN+7
        BHS .r
        LDA ,X
        ORA FPSTK
        STA FPSTK
        CLR ,X+
        BRA .cl
.r      CLRA
        RTS
.small  STA FPSTK           ; nonzero: all fraction
        JMP fpzero
fpfixmsk FCB $00,$80,$C0,$E0,$F0,$F8,$FC,$FE

* FAC := the largest whole number <= FAC.
fp_int  LDA FACSGN
        BPL fp_fix
        LDA FACEXP
        BEQ .r
        CMPA #$80
        BLS .m1             ; -1 < FAC < 0: -1
        BSR fp_fix
        LDA FPSTK
        BEQ .r
        LDB FACEXP          ; one more in the lowest whole-number bit
        SUBB #$81
        TFR B,A
        LSRB
        LSRB
        LSRB
        LDX #FACMAN
        ABX
        ANDA #7
        PSHS X
        LDX #fpunitb
        LDA A,X
        PULS X
        ADDA ,X
        STA ,X
        BCC .r
.up     CMPX #FACMAN
        BEQ .carry
        INC ,-X
        BEQ .up
        BRA .r
.carry  LDA #$80            ; carry out of the top: 1.0 x 2^(exp+1)
        STA FACMAN
        INC FACEXP
.r      CLRA
        RTS
.m1     LDA #$81
        STA FACEXP
        LDD #$8000
        STD FACMAN
        LDD #0
        STD FACMAN+2
        STD FACMAN+4
        STA FACMAN+6
        STA FACRND
        CLRA
        RTS
fpunitb FCB $80,$40,$20,$10,$08,$04,$02,$01

* ---------------------------------------------------------------- integers
* FAC := D, signed / unsigned.
fp_fromint
        TSTA
        BPL fp_fromuint
        COMA
        COMB
        ADDD #1
        LDX #$FF00 + $90    ; sign $FF, exponent for 16 bits
        BRA fpfrint
fp_fromuint
        LDX #$0090
fpfrint STD FACMAN
        BEQ .zero
        TFR X,D
        STA FACSGN
        LDA FACMAN
        BNE .n
        LDA FACMAN+1        ; high byte zero: start 8 bits lower
        STA FACMAN
        CLR FACMAN+1
        SUBB #8
.n      STB FACEXP
        LDD FACMAN
        BMI .done
.sh     DEC FACEXP
        LSLB
        ROLA
        BPL .sh
.done   STD FACMAN
        LDD #0
        STD FACMAN+2
        STD FACMAN+4
        STD FACMAN+6        ; the last mantissa byte and the sign byte...
        TFR X,D
        STA FACSGN          ; ...which gets its value again
        CLR FACRND
        CLRA
        RTS
.zero   JMP fpzero

* D := FAC rounded to the nearest whole number (halves away from zero);
* the magnitude is left in D, FPSGN the sign, carry set if it passes 65535.
fprndw  LDA FACSGN
        STA FPSGN
        LDB FACEXP
        CMPB #$80
        BLO .z              ; below .5
        BEQ .one            ; .5 to 1
        CMPB #$90
        BHI .big
        SUBB #$90
        NEGB                ; bits to drop: 0..15
        STB FPCNT
        LDD FACMAN
        TST FPCNT
        BEQ .r16
.sh     LSRA
        RORB
        DEC FPCNT
        BNE .sh
        ADCB #0             ; the last bit out rounds
        ADCA #0
        RTS                 ; carry set when it passes 65535
.r16    TST FACMAN+2        ; 16 whole bits: the next bit rounds
        BPL .ok
        ADDD #1
        RTS
.ok     ANDCC #$FE
        RTS
.z      CLRA
        CLRB
        RTS
.one    LDD #1
        ANDCC #$FE
        RTS
.big    COMA
        RTS

* D := FAC rounded, -32768..32767; carry/6 outside.
fp_toint
        BSR fprndw
        BCS .ovf
        TST FPSGN
        BMI .neg
        TSTA
        BMI .ovf
        RTS
.neg    CMPD #$8000
        BHI .ovf
        COMA
        COMB
        ADDD #1
        ANDCC #$FE
        RTS
.ovf    LDB #6
        COMA
        RTS

* D := FAC rounded, for addresses: -65535..65535, negative taken modulo 65536.
fp_touint
        BSR fprndw
        BCS .bad
        TST FPSGN
        BPL .r
        COMA
        COMB
        ADDD #1
.r      ANDCC #$FE
        RTS
.bad    LDB #5
        COMA
        RTS
